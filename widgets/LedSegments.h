#pragma once

#include <QPolygon>
#include <QSize>

#include <optional>

namespace tolvane {

// The layout of one LED cell: sixteen segments (seven outer bars, two centre bars, four
// diagonals and three dots), numbered by their bit in a character's segment mask.
struct LedGeometry {
    int thickness = 2; // T: bars are 2 * (T / 2) pixels thick
    int horzSize = 9;  // H: flat length of a horizontal bar
    int vertSize = 7;  // V: flat length of a vertical bar

    int cellWidth() const { return horzSize + 5 * thickness; }
    int cellHeight() const { return 2 * vertSize + 7 * thickness; }
    QSize cellSize() const { return {cellWidth(), cellHeight()}; }

    // The closed polygon of a segment in cell coordinates, or nothing for a diagonal whose run
    // or rise is zero at this size.
    std::optional<QPolygon> segmentPolygon(int bit) const;

    // Small cells have room for the outer bars only.
    bool allowsInnerSegments() const { return horzSize > 3 && vertSize > 3; }
};

inline constexpr int ledSegmentCount = 16;
inline constexpr quint16 ledOuterSegments = 0x007F;

// The segments a character lights; letters ignore case, characters without a pattern light none.
quint16 ledCharacterMask(char32_t code);

} // namespace tolvane
