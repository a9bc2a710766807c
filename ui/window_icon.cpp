#include "ui/window_icon.h"

#include <array>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tambrel {
namespace {

QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    // A sheet with three list lines: the grids of file rows.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1f, 0x5f, 0x8b));
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
    painter.setBrush(QColor(0xe8, 0xf1, 0xf8));
    for (int line = 0; line < 3; ++line)
        painter.drawRoundedRect(QRectF(10, 40 + line * 7, 44, 3.5), 1.5, 1.5);

    // Above them the bars of a sound wave.
    static constexpr std::array<double, 9> heights = {6, 14, 24, 30, 20, 28, 16, 10, 5};
    painter.setBrush(QColor(0xff, 0xc1, 0x3b));
    for (std::size_t bar = 0; bar < heights.size(); ++bar) {
        const double height = heights[bar];
        painter.drawRoundedRect(QRectF(9 + bar * 5.2, 22 - height / 2, 3.4, height), 1.5, 1.5);
    }
    return pixmap;
}

} // namespace

QIcon tambrelWindowIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(drawIcon(size));
    return icon;
}

} // namespace tambrel
