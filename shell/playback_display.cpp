#include "shell/playback_display.h"

#include "data/text_codec.h"
#include "shell/app_session.h"
#include "shell/unit1.h"
#include "ui/level_meter.h"
#include "ui/skin_label.h"
#include "ui/skin_style.h"
#include "ui/skin_switch.h"
#include "ui/text_fit.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QMenu>
#include <QMessageBox>

#include <cstdlib>

namespace lumaro {

namespace {

QString FromAnsi(const std::string& text) {
    return QString::fromStdU16String(WideFromAnsi(text));
}

// Widest caption of the URL menu, in pixels of its font.
constexpr int kUrlCaptionWidth = 420;

// A URL as a menu caption: a long one elided in the middle (scheme, host and
// the end of the path stay), and "&" shown as itself, not as a mnemonic.
QString MenuCaption(const QString& text) {
    QString caption = skin::ElideMiddle(text, skin::Font(11), kUrlCaptionWidth);
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return caption;
}

} // namespace

TPlaybackDisplay::TPlaybackDisplay(TForm1& form, TAppSession& session) : form_(form), session_(session) {}

void TPlaybackDisplay::SetStatusText(const std::u16string& text) {
    const QString shown = QString::fromStdU16String(text);
    form_.TntLabel3->setText(shown);
    emit statusShown(shown);
}
void TPlaybackDisplay::SetTitleText(const std::u16string& text) {
    const QString shown = QString::fromStdU16String(text);
    form_.TntLabel2->setText(shown);
    emit titleShown(shown);
}
void TPlaybackDisplay::SetBitrateText(const std::u16string& text) {
    form_.Label5->setText(QString::fromStdU16String(text));
}
void TPlaybackDisplay::SetPlayPicture(bool active) {
    form_.suiImageButton8->SetState(active ? SkinSwitch::State::On : SkinSwitch::State::Idle);
    emit playPictureShown(active);
}
void TPlaybackDisplay::SetLevelMeter(int position) {
    form_.DIBKnob1->SetValue(position);
}

void TPlaybackDisplay::ShowUrlMenu(const TUrlMenu& menu) {
    QMenu* popup = form_.PopupMenu1;
    // Called from an entry's own click as well: the old entries go later.
    for (QAction* action : popup->actions()) {
        popup->removeAction(action);
        action->deleteLater();
    }
    for (size_t i = 0; i < menu.Entries.size(); ++i) {
        const TUrlMenuEntry& entry = menu.Entries[i];
        if (entry.Caption == kUrlMenuSeparator) {
            popup->addSeparator();
            continue;
        }
        QAction* action = popup->addAction(MenuCaption(FromAnsi(entry.Caption)));
        if (i < menu.UrlEntryCount()) {
            // the entry stands for its whole URL; the caption only shows it
            action->setData(FromAnsi(entry.Caption));
            action->setCheckable(true);
            action->setChecked(entry.Marked);
        }
        connect(action, &QAction::triggered, this, [this, i] { session_.Player().UrlMenuItemClick(i); });
    }
    form_.Label13->setText(FromAnsi(menu.Label));
}

void TPlaybackDisplay::PopupUrlMenu() {
    form_.PopupMenu1->popup(QCursor::pos());
}

void TPlaybackDisplay::ShowMessage(const std::u16string& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(),
                    QString::fromStdU16String(text), QMessageBox::Ok, &form_);
    box.exec();
}

std::u16string TPlaybackDisplay::ClipboardText() const {
    return QGuiApplication::clipboard()->text().toStdU16String();
}
void TPlaybackDisplay::SetClipboardText(const std::u16string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdU16String(text));
}

void TPlaybackDisplay::ShowEngineStart(const TEngineStartResult& result) {
    if (!result.EndProgram()) return;
    const QString text =
        QString::fromStdString(result.Message).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (result.Result == TEngineStartResult::Outcome::WrongVersion) {
        QMessageBox box(QMessageBox::Critical, QString(), text, QMessageBox::Ok);
        box.exec();
    } else {
        QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, &form_);
        box.exec();
    }
    // Nothing is playing and nothing is saved on the way out.
    std::_Exit(EXIT_FAILURE);
}

} // namespace lumaro
