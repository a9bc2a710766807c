// Writes the program's window icon for the places that need it as a file, so the installed icon
// is the very one the windows show: PNG files for the desktop's icon theme, or a Windows icon
// file for the executable's icon resource.
//   write_icon <folder> <size>...       <folder>/tambrel_<size>.png for each size
//   write_icon <file.ico> <size>...     one icon file holding every size
#include "resources/logos/windows_icon_file.h"
#include "ui/window_icon.h"

#include <cstdio>
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QString>
#include <vector>

namespace {

int fail(const QString& path) {
    std::fprintf(stderr, "write_icon: cannot write %s\n", qPrintable(path));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fputs("usage: write_icon <folder>|<file.ico> <size>...\n", stderr);
        return 2;
    }
    const QIcon icon = tambrel::tambrelWindowIcon();
    const QString target = QString::fromLocal8Bit(argv[1]);
    const bool iconFile = target.endsWith(QStringLiteral(".ico"), Qt::CaseInsensitive);
    std::vector<tambrel::IconImage> images;
    for (int index = 2; index < argc; ++index) {
        const int size = QString::fromLocal8Bit(argv[index]).toInt();
        if (size <= 0)
            return fail(target);
        const QPixmap pixmap = icon.pixmap(size, size);
        if (!iconFile) {
            const QString path = target + QStringLiteral("/tambrel_%1.png").arg(size);
            if (!pixmap.save(path, "PNG"))
                return fail(path);
            continue;
        }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!pixmap.save(&buffer, "PNG"))
            return fail(target);
        images.push_back({pixmap.width(), png.toStdString()});
    }
    if (iconFile) {
        const std::string bytes = tambrel::windowsIconFile(images);
        QFile file(target);
        if (bytes.empty() || !file.open(QIODevice::WriteOnly) ||
            file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size()) ||
            !file.flush())
            return fail(target);
    }
    return 0;
}
