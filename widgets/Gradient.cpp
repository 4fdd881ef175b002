#include "widgets/Gradient.h"

#include <algorithm>

namespace tolvane {

namespace {

// The finest gradient has this many stripes; larger areas get wider stripes.
constexpr int bandsPerExtent = 128;

QColor gradientColor(const QColor& begin, const QColor& end, int position, int extent)
{
    return QColor(gradientChannel(begin.red(), end.red(), position, extent),
                  gradientChannel(begin.green(), end.green(), position, extent),
                  gradientChannel(begin.blue(), end.blue(), position, extent));
}

} // namespace

int gradientChannel(int begin, int end, int position, int extent)
{
    const double value = double((end - begin) * position) / extent + begin;
    return int(value); // toward zero; the value is never negative
}

std::vector<GradientBand> gradientBands(QSize area, Qt::Orientation direction, const QColor& begin,
                                        const QColor& end)
{
    const bool vertical = direction == Qt::Vertical;
    const int extent = vertical ? area.height() : area.width();
    const int step = std::max(extent / bandsPerExtent, 1);

    std::vector<GradientBand> bands;
    bands.reserve(std::size_t(std::max((extent + step - 1) / step, 0)));
    for (int p = 0; p < extent; p += step) {
        const QRect rect =
            vertical ? QRect(0, p, area.width(), step) : QRect(p, 0, step, area.height());
        bands.push_back({rect, gradientColor(begin, end, p, extent)});
    }
    return bands;
}

} // namespace tolvane
