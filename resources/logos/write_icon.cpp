// Writes the program's window icon as PNG files for the desktop's icon theme, so the installed
// icon is the very one the windows show: write_icon <folder> <size>...
#include "ui/window_icon.h"

#include <cstdio>
#include <QGuiApplication>
#include <QPixmap>
#include <QString>

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fputs("usage: write_icon <folder> <size>...\n", stderr);
        return 2;
    }
    const QIcon icon = tambrel::tambrelWindowIcon();
    for (int index = 2; index < argc; ++index) {
        const int size = QString::fromLocal8Bit(argv[index]).toInt();
        const QString path =
            QString::fromLocal8Bit(argv[1]) + QStringLiteral("/tambrel_%1.png").arg(size);
        if (size <= 0 || !icon.pixmap(size, size).save(path, "PNG")) {
            std::fprintf(stderr, "write_icon: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
