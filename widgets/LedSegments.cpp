#include "widgets/LedSegments.h"

#include <array>
#include <cmath>

namespace tolvane {

namespace {

// Halves round to even, the rounding the segment shapes are drawn with.
int roundHalfEven(double value)
{
    return static_cast<int>(std::lrint(value));
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

QPolygon horizontalBar(int x0, int y0, int length, int w)
{
    return QPolygon({{x0, y0 + w},
                     {x0 + w, y0},
                     {x0 + length + w, y0},
                     {x0 + length + 2 * w, y0 + w},
                     {x0 + length + w, y0 + 2 * w},
                     {x0 + w, y0 + 2 * w}});
}

QPolygon verticalBar(int x0, int y0, int length, int w)
{
    return QPolygon({{x0 + w, y0},
                     {x0 + 2 * w, y0 + w},
                     {x0 + 2 * w, y0 + w + length},
                     {x0 + w, y0 + 2 * w + length},
                     {x0, y0 + w + length},
                     {x0, y0 + w}});
}

std::optional<QPolygon> diagonalBar(int x0, int y0, int dx, int dy, int width)
{
    if (dx == 0 || dy == 0)
        return std::nullopt;
    const int a = roundHalfEven(sign(dx) * width / 2.0);
    const int b = roundHalfEven(sign(dy) * width / 2.0);
    return QPolygon({{x0, y0},
                     {x0 + a, y0},
                     {x0 + dx, y0 + dy - b},
                     {x0 + dx, y0 + dy},
                     {x0 + dx - a, y0 + dy},
                     {x0, y0 + b}});
}

QPolygon dot(int x0, int y0, int width, int height)
{
    return QPolygon({{x0 + width, y0 - 1},
                     {x0 + width, y0 + height - 1},
                     {x0, y0 + height - 1},
                     {x0, y0 - 1},
                     {x0, y0 - 1},
                     {x0, y0 - 1}});
}

constexpr std::array<quint16, 128> characterMasks = [] {
    std::array<quint16, 128> masks{};
    masks['0'] = 0x1277;
    masks['1'] = masks['I'] = 0x0180;
    masks['2'] = 0x005D;
    masks['3'] = 0x006D;
    masks['4'] = 0x002E;
    masks['5'] = masks['S'] = 0x006B;
    masks['6'] = masks['G'] = 0x007B;
    masks['7'] = 0x0025;
    masks['8'] = 0x007F;
    masks['9'] = 0x006F;
    masks[':'] = 0xA000;
    masks['.'] = 0x8000;
    masks['-'] = 0x0008;
    masks['_'] = 0x0040;
    masks['='] = 0x0048;
    masks['+'] = 0x0188;
    masks['*'] = 0x1F80;
    masks['/'] = 0x0C00;
    masks['\\'] = 0x1200;
    masks['('] = masks['<'] = 0x1400;
    masks[')'] = masks['>'] = 0x0A00;
    masks['"'] = 0x0082;
    masks['\''] = 0x0080;
    masks['['] = masks['C'] = 0x0053;
    masks[']'] = 0x0065;
    masks['A'] = 0x003F;
    masks['B'] = 0x01ED;
    masks['D'] = 0x01E5;
    masks['E'] = 0x005B;
    masks['F'] = 0x001B;
    masks['H'] = 0x003E;
    masks['J'] = 0x0074;
    masks['K'] = 0x141A;
    masks['L'] = 0x0052;
    masks['M'] = 0x0636;
    masks['N'] = 0x1236;
    masks['O'] = 0x0077;
    masks['P'] = 0x001F;
    masks['Q'] = 0x1077;
    masks['R'] = 0x101F;
    masks['T'] = 0x0181;
    masks['U'] = 0x0076;
    masks['V'] = 0x0C12;
    masks['W'] = 0x1836;
    masks['X'] = 0x1E00;
    masks['Y'] = 0x0700;
    masks['Z'] = 0x0C41;
    return masks;
}();

} // namespace

std::optional<QPolygon> LedGeometry::segmentPolygon(int bit) const
{
    const int t = thickness;
    const int h = horzSize;
    const int v = vertSize;
    const int w = t / 2;
    const int c = (4 * t + h) / 2;
    const int d = roundHalfEven(1.5 * t);
    switch (bit) {
    case 0:
        return horizontalBar(2 * t, t, h, w);
    case 1:
        return verticalBar(t, 2 * t, v, w);
    case 2:
        return verticalBar(3 * t + h, 2 * t, v, w);
    case 3:
        return horizontalBar(2 * t, 3 * t + v, h, w);
    case 4:
        return verticalBar(t, 4 * t + v, v, w);
    case 5:
        return verticalBar(3 * t + h, 4 * t + v, v, w);
    case 6:
        return horizontalBar(2 * t, 5 * t + 2 * v, h, w);
    case 7:
        return verticalBar(c, 2 * t, v, w);
    case 8:
        return verticalBar(c, 4 * t + v, v, w);
    case 9:
        return diagonalBar(c - w, 2 * t + v, t - h / 2, t - v, t);
    case 10:
        return diagonalBar(c + d, 2 * t + v, h / 2 - t, t - v, t);
    case 11:
        return diagonalBar(c - w, 5 * t + v, t - h / 2, v - t, t);
    case 12:
        return diagonalBar(c + d, 5 * t + v, h / 2 - t, v - t, t);
    case 13:
        return dot(c - 1, 3 * t + v, t, t);
    case 14:
        return dot(c - 1, t, t, t);
    case 15:
        return dot(c - 1, 5 * t + 2 * v, t, t);
    default:
        return std::nullopt;
    }
}

quint16 ledCharacterMask(char32_t code)
{
    if (code >= U'a' && code <= U'z')
        code -= U'a' - U'A';
    return code >= 32 && code < characterMasks.size() ? characterMasks[code] : 0;
}

} // namespace tolvane
