#include "widgets/Effect3D.h"

#include <algorithm>
#include <cstdlib>

namespace tolvane {

namespace {

// The direction of one pixel of shadow.
QPoint unitOffset(Tdxf3DEffect::Orientation orientation)
{
    switch (orientation) {
    case Tdxf3DEffect::dxfLeft:
        return {-1, 0};
    case Tdxf3DEffect::dxfRight:
        return {1, 0};
    case Tdxf3DEffect::dxfTop:
        return {0, -1};
    case Tdxf3DEffect::dxfBottom:
        return {0, 1};
    case Tdxf3DEffect::dxfLeftTop:
        return {-1, -1};
    case Tdxf3DEffect::dxfLeftBottom:
        return {-1, 1};
    case Tdxf3DEffect::dxfRightTop:
        return {1, -1};
    case Tdxf3DEffect::dxfRightBottom:
        return {1, 1};
    }
    return {};
}

// The colour of the fun copy at distance k of n: the shadow colour at 1, towards the far colour.
int rampChannel(int shadow, int far, int k, int n)
{
    return int(double((k - 1) * (far - shadow)) / n + shadow);
}

} // namespace

QPoint Tdxf3DEffect::offset() const
{
    return unitOffset(orientation) * int(depth);
}

std::vector<Tdxf3DEffect::Copy> Tdxf3DEffect::copies(const QColor& labelColor,
                                                     bool systemColor) const
{
    const QPoint full = offset();
    const int n = std::max(std::abs(full.x()), std::abs(full.y()));
    if (n == 0)
        return {};
    if (style == dxfCool)
        return {{full, shadowedColor}};

    const QPoint unit = unitOffset(orientation);
    const QColor far = systemColor ? QColor(192, 192, 192) : labelColor;
    std::vector<Copy> result;
    result.reserve(std::size_t(n));
    for (int k = n; k >= 1; --k) {
        QColor color = shadowedColor;
        if (style == dxfFun) {
            color = QColor(rampChannel(shadowedColor.red(), far.red(), k, n),
                           rampChannel(shadowedColor.green(), far.green(), k, n),
                           rampChannel(shadowedColor.blue(), far.blue(), k, n));
        }
        result.push_back({unit * k, color});
    }
    return result;
}

} // namespace tolvane
