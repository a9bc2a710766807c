// Twips (1/1440 inch) to pixels and back, with the screen's logical dpi: 15 twips per pixel at
// 96 dpi. Positions and sizes of the windows are kept in twips, as the layout computes them.
#pragma once

class QWidget;

namespace tambrel {

double twipsPerPixelX(const QWidget& widget);
double twipsPerPixelY(const QWidget& widget);
int pixelsFromTwipsX(const QWidget& widget, double twips);
int pixelsFromTwipsY(const QWidget& widget, double twips);

} // namespace tambrel
