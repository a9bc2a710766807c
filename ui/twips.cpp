#include "ui/twips.h"

#include <cmath>
#include <QWidget>

namespace tambrel {
namespace {

constexpr double kTwipsPerInch = 1440.0;

double perPixel(int dotsPerInch) {
    return kTwipsPerInch / (dotsPerInch > 0 ? dotsPerInch : 96);
}

} // namespace

double twipsPerPixelX(const QWidget& widget) {
    return perPixel(widget.logicalDpiX());
}

double twipsPerPixelY(const QWidget& widget) {
    return perPixel(widget.logicalDpiY());
}

int pixelsFromTwipsX(const QWidget& widget, double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixelX(widget)));
}

int pixelsFromTwipsY(const QWidget& widget, double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixelY(widget)));
}

} // namespace tambrel
