#include "shell/unit3.h"

#include "shell/app_info.h"
#include "shell/window_mover.h"
#include "ui/app_icon.h"
#include "ui/skin_background.h"
#include "ui/skin_label.h"
#include "ui/skin_style.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>

namespace lumaro {

TForm3::TForm3(size_t stationCount, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    setFixedSize(302, 152); // the picture inside a one-pixel black border
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    Image1 = new SkinBackground(SkinBackground::Layout::StationInfo, this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(1, 1, 300, 150);
    connect(Image1, &SkinBackground::pressed, this, &QDialog::reject);

    auto label = [this](const char* name, const QString& text, QRect r, int px, bool bold) {
        auto* l = new SkinLabel(text, this, px);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(r.translated(1, 1));
        l->setFont(skin::Font(px, bold));
        l->SetTextColor(skin::kInfoText);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return l;
    };
    Label1 = label("Label1", QStringLiteral("About"), QRect(8, 2, 200, 15), 11, true);
    Label7 = label("Label7", QStringLiteral("      Close"), QRect(248, 2, 49, 15), 11, false);
    Label7->SetClickable(true);
    Label7->setAccessibleName(QStringLiteral("Close"));
    connect(Label7, &SkinLabel::clicked, this, &QDialog::reject);

    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap::fromImage(RenderAppIcon(64)));
    icon->setGeometry(21, 45, 64, 64);
    icon->setAttribute(Qt::WA_TransparentForMouseEvents);

    Label2 = label("Label2", QString::fromLatin1(kAppName), QRect(100, 42, 190, 24), 18, true);
    Label3 = label("Label3", QStringLiteral("Version %1").arg(QString::fromLatin1(kAppVersion)),
                   QRect(100, 70, 190, 16), 12, false);
    StationCountLabel = label("StationCountLabel", QStringLiteral("Number of Stations: %1").arg(stationCount),
                              QRect(100, 92, 190, 16), 12, false);
    for (SkinLabel* l : {Label2, Label3, StationCountLabel})
        l->setAttribute(Qt::WA_TransparentForMouseEvents); // a click on them is one on the picture
}

void TForm3::ShowAbout() {
    exec();
}

void TForm3::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TForm3::FormShow() {
    CentreOverOwner(*this);
}

void TForm3::keyPressEvent(QKeyEvent* event) {
    event->accept();
    reject(); // any key closes it
}

} // namespace lumaro
