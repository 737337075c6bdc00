#include "shell/unit4.h"

#include "browse/station_info.h"
#include "ui/skin_background.h"
#include "ui/skin_label.h"
#include "ui/skin_style.h"

#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace lumaro {

namespace {

QString MemoStyleSheet() {
    const auto hex = [](const QColor& c) { return c.name(QColor::HexRgb); };
    return QStringLiteral(
               "QPlainTextEdit { background: %1; color: %2; border: none; padding: 0 2px;"
               " selection-background-color: %3; selection-color: %4; }"
               "QScrollBar:vertical { background: %5; width: 10px; margin: 0; }"
               "QScrollBar::handle:vertical { background: %6; border-radius: 3px; min-height: 14px; margin: "
               "1px; }"
               "QScrollBar::handle:vertical:hover { background: %7; }"
               "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
               "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"
               // the URL list scrolls sideways for a long URL: the same bar, lying down
               "QScrollBar:horizontal { background: %5; height: 10px; margin: 0; }"
               "QScrollBar::handle:horizontal { background: %6; border-radius: 3px; min-width: 14px; margin: "
               "1px; }"
               "QScrollBar::handle:horizontal:hover { background: %7; }"
               "QScrollBar::add-line:horizontal, QScrollBar::sub-line:horizontal { width: 0; }"
               "QScrollBar::add-page:horizontal, QScrollBar::sub-page:horizontal { background: none; }")
        .arg(hex(skin::kInfoField), hex(skin::kInfoText), hex(skin::kAccent), hex(skin::kTextOnAccent),
             hex(skin::kScrollTrough), hex(skin::kScrollHandle), hex(skin::kScrollHandleHover));
}

// The background picture with the one-pixel grey frames around the value fields.
class InfoBackground : public SkinBackground {
public:
    explicit InfoBackground(QWidget* parent) : SkinBackground(Layout::StationInfo, parent) {}
    QList<QRect> frames;

protected:
    void paintEvent(QPaintEvent* event) override {
        SkinBackground::paintEvent(event);
        QPainter p(this);
        for (const QRect& r : frames) {
            p.fillRect(r.adjusted(-1, -1, 1, 1), skin::kInfoFrame);
            p.fillRect(r, skin::kInfoField);
        }
    }
};

} // namespace

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Station Info"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    setFixedSize(502, 314); // the 500 x 312 picture inside a one-pixel black border
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    FormCreate();
}

void TForm4::FormCreate() {
    auto* background = new InfoBackground(this);
    Image1 = background;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(1, 1, 500, 312);
    connect(Image1, &SkinBackground::pressed, this, [this] { Image1MouseDown(); });
    mover_.Attach(Image1);

    // positions are on the picture, which sits one pixel in
    auto label = [this](const char* name, const QString& text, QRect r) {
        auto* l = new SkinLabel(text, this, 11);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(r.translated(1, 1));
        l->SetTextColor(skin::kInfoText);
        l->SetShadow(false);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return l;
    };
    Label19 = label("Label19", QStringLiteral("Station information"), QRect(5, 2, 300, 15));
    Label19->setFont(skin::Font(11, true));
    Label19->SetShadow(true);
    Label7 = label("Label7", QStringLiteral("      Close"), QRect(448, 2, 49, 15));
    Label7->SetClickable(true);
    Label7->setAccessibleName(QStringLiteral("Close"));
    connect(Label7, &SkinLabel::clicked, this, [this] { Label7Click(); });

    label("Label1", QStringLiteral("Name:"), QRect(5, 28, 58, 13));
    label("Label5", QStringLiteral("URLs:"), QRect(5, 46, 58, 13));
    label("Label2", QStringLiteral("Style:"), QRect(5, 124, 58, 13));
    label("Label3", QStringLiteral("Country:"), QRect(5, 145, 58, 13));
    label("Label4", QStringLiteral("Language:"), QRect(5, 167, 58, 13));
    label("Label6", QStringLiteral("Description:"), QRect(5, 188, 80, 13));

    auto value = [&](const char* name, QRect r, const char* what) {
        SkinLabel* l = label(name, QString(), r);
        l->setAccessibleDescription(QString::fromLatin1(what));
        return l;
    };
    const QRect nameRect(65, 28, 430, 13), styleRect(65, 124, 430, 13), countryRect(65, 145, 430, 13),
        languageRect(65, 166, 430, 13), urlRect(65, 50, 430, 65), descriptionRect(5, 205, 488, 103);
    TntLabel1 = value("TntLabel1", nameRect, "Name");
    TntLabel3 = value("TntLabel3", styleRect, "Style");
    TntLabel4 = value("TntLabel4", countryRect, "Country");
    TntLabel5 = value("TntLabel5", languageRect, "Language");

    auto memo = [this](const char* name, QRect r, bool wrap, const char* accessible) {
        auto* m = new QPlainTextEdit(this);
        m->setObjectName(QString::fromLatin1(name));
        m->setGeometry(r.translated(1, 1));
        m->setReadOnly(true);
        m->setFrameShape(QFrame::NoFrame);
        m->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
        m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        m->setFont(skin::Font(11));
        m->setStyleSheet(MemoStyleSheet());
        m->setAccessibleName(QString::fromLatin1(accessible));
        return m;
    };
    TntMemo2 = memo("TntMemo2", urlRect, false, "URLs");
    TntMemo1 = memo("TntMemo1", descriptionRect, true, "Description");

    // every value field gets a one-pixel grey frame on the picture
    background->frames = {nameRect, urlRect, styleRect, countryRect, languageRect, descriptionRect};
    for (SkinLabel* l : {TntLabel1, TntLabel3, TntLabel4, TntLabel5}) {
        l->setAutoFillBackground(false);
        l->SetWrapped(true);
    }
}

bool TForm4::FillFrom(const TStationRecord& station) {
    const auto info = MakeStationInfo(station);
    if (!info) return false;
    for (SkinLabel* l : {TntLabel1, TntLabel3, TntLabel4, TntLabel5})
        l->clear();
    TntMemo1->clear();
    TntMemo2->clear();
    TntLabel1->setText(QString::fromStdU16String(info->Name));
    QString description = QString::fromStdU16String(info->Description);
    description.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    TntMemo1->setPlainText(description);
    TntLabel3->setText(QString::fromStdU16String(info->Style));
    TntLabel4->setText(QString::fromStdU16String(info->Country));
    TntLabel5->setText(QString::fromStdU16String(info->Language));
    QStringList urls;
    for (const auto& url : info->Urls)
        urls << QString::fromStdU16String(url);
    TntMemo2->setPlainText(urls.join(QLatin1Char('\n')));
    return true;
}

void TForm4::ShowStationInfo(const TStationRecord& station) {
    if (!FillFrom(station)) return;
    exec();
}

void TForm4::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TForm4::FormShow() {
    CentreOverOwner(*this);
}

} // namespace lumaro
