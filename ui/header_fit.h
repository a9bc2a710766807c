// The width a grid's header section needs so that its caption shows whole, measured by the
// style's own geometry: the room it keeps for margins and, on a sorted column, for the arrow,
// which grows with the header's height (a Japanese face makes the header taller).
#pragma once

class QHeaderView;
class QString;

namespace tambrel {

int headerSectionWidthFor(const QHeaderView& header, int section, const QString& text, bool sorted);

} // namespace tambrel
