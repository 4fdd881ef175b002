#pragma once

#include <QColor>
#include <QRect>
#include <QSize>

#include <vector>

namespace tolvane {

// One stripe of a two-colour gradient.
struct GradientBand {
    QRect rect;
    QColor color;

    friend bool operator==(const GradientBand&, const GradientBand&) = default;
};

// One channel at position of extent: the difference scaled in integers, divided in floating
// point and truncated, so the first position has exactly the begin value and the last stops one
// band short of the end value.
int gradientChannel(int begin, int end, int position, int extent);

// The stripes that fill an area from begin towards end. Qt::Vertical changes the colour from
// top to bottom in full-width stripes, Qt::Horizontal from left to right in full-height ones.
// A stripe is 1/128 of the extent (at least one pixel); the last one may reach past the area.
std::vector<GradientBand> gradientBands(QSize area, Qt::Orientation direction, const QColor& begin,
                                        const QColor& end);

} // namespace tolvane
