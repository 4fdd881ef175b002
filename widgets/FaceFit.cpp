#include "widgets/FaceFit.h"

#include <algorithm>

namespace tolvane {

namespace {

// numerator / denominator for non-negative values, rounded half to even.
int roundedQuotient(qint64 numerator, qint64 denominator)
{
    const qint64 quotient = numerator / denominator;
    const qint64 twiceRemainder = 2 * (numerator % denominator);
    if (twiceRemainder > denominator || (twiceRemainder == denominator && quotient % 2 != 0))
        return int(quotient + 1);
    return int(quotient);
}

} // namespace

QRect FaceFit::faceRect(Style style, QSize face, QSize area)
{
    if (face.isEmpty())
        return {};
    const qint64 sw = face.width();
    const qint64 sh = face.height();
    const qint64 dw = std::max(area.width(), 0);
    const qint64 dh = std::max(area.height(), 0);
    switch (style) {
    case sbNone:
    case sbAutosize:
        return {QPoint(0, 0), face};
    case sbCenter:
        return {QPoint(int((dw - sw) / 2), int((dh - sh) / 2)), face};
    case sbStretch:
    case sbTile:
        return {0, 0, int(dw), int(dh)};
    case sbKeepAspRatio:
        // The scale is the smaller of dw / sw and dh / sh; compared and applied in integers so
        // that the side that limits the scale comes out at exactly the area's size.
        if (dw * sh <= dh * sw)
            return {0, 0, int(dw), int(sh * dw / sw)};
        return {0, 0, int(sw * dh / sh), int(dh)};
    case sbKeepWidth:
        return {0, 0, roundedQuotient(dh * sw, sh), int(dh)};
    case sbKeepHeight:
        return {0, 0, int(dw), roundedQuotient(dw * sh, sw)};
    }
    return {};
}

} // namespace tolvane
