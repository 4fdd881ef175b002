#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

namespace tolvane::platform {

// One character of a bitmap font's strike: its pixels, where they lie from the pen position on
// the baseline, and how far the pen moves on.
struct StrikeGlyph {
    char32_t code = 0;
    QImage ink;   // 8 bits a pixel, 255 where one is set; null for a blank character
    int left = 0; // the ink's left column, right of the pen
    int top = 0;  // the ink's top row, above the baseline
    int advance = 0;
};

// A bitmap font at one size: the cell's rows above and below the baseline, and its characters in
// ascending order. The character height, by which a font is asked for, is the cell less its
// internal leading: the ascent and descent of the strike a size is asked for with.
struct Strike {
    int ascent = 0;
    int descent = 0;
    QList<StrikeGlyph> glyphs;
};

// The strike of a bitmap font file at a pixel size (the strike's cell height); empty when the
// file cannot be read or has no strike of that size.
Strike readStrike(const QString& fontFile, int pixelSize);

// The strike drawn bold the way a raster font is: every character overstruck one pixel to the
// right, one pixel wider.
Strike emboldened(const Strike& strike);

// A font whose size is the strike's character height, so that asking for that pixel height picks
// this strike. bitmapFont() keeps the pixels as a bitmap (BDF) font. outlineFont() makes a
// scalable TrueType font whose contours are the pixels' edges: at the character height it draws
// the strike's pixels, and at any whole multiple of it the same pixels as blocks of that size.
QByteArray bitmapFont(const Strike& strike, const QString& family, bool bold, int characterHeight);
QByteArray outlineFont(const Strike& strike, const QString& family, bool bold, int characterHeight);

} // namespace tolvane::platform
