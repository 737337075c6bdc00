// lumaro-icon OUTDIR: writes the program's icon as the PNGs of the desktop's
// icon theme layout, OUTDIR/<n>x<n>/apps/<app id>.png, drawn by the same code
// as the window's and the tray's icon.
#include "ui/app_icon.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: lumaro-icon APP_ID OUTDIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString id = QString::fromLocal8Bit(argv[1]);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        if (!out.mkpath(folder) ||
            !lumaro::RenderAppIcon(size).save(out.filePath(folder + "/" + id + ".png"))) {
            std::fprintf(stderr, "lumaro-icon: cannot write the %d px icon into %s\n", size, argv[2]);
            return 1;
        }
    }
    return 0;
}
