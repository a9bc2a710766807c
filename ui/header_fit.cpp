#include "ui/header_fit.h"

#include <algorithm>
#include <cmath>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionHeader>

namespace tambrel {

int headerSectionWidthFor(const QHeaderView& header, int section, const QString& text,
                          bool sorted) {
    QStyleOptionHeader option;
    option.initFrom(&header);
    option.state |= QStyle::State_Horizontal;
    option.orientation = Qt::Horizontal;
    option.section = section;
    option.text = text;
    option.textAlignment = header.defaultAlignment();
    option.sortIndicator = sorted ? QStyleOptionHeader::SortDown : QStyleOptionHeader::None;
    // Any width wider than the caption will do: what the style takes off it is the overhead.
    constexpr int kProbeWidth = 4000;
    const int height = std::max(header.height(), header.sizeHint().height());
    option.rect = QRect(0, 0, kProbeWidth, height);
    const QRect label = header.style()->subElementRect(QStyle::SE_HeaderLabel, &option, &header);
    const int overhead = kProbeWidth - label.width();
    // Fallback faces lay a caption out wider than the primary font's advance; measure it laid
    // out, and keep a pixel for rounding at fractional scale factors.
    const qreal textWidth = header.fontMetrics().boundingRect(text).width();
    const int advance = header.fontMetrics().horizontalAdvance(text);
    return static_cast<int>(std::ceil(std::max<qreal>(textWidth, advance))) + overhead + 1;
}

} // namespace tambrel
