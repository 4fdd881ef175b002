#include "platform/StrikeFonts.h"

#include <QDataStream>
#include <QMap>
#include <QRawFont>
#include <QRect>

#include <algorithm>
#include <array>
#include <numeric>

namespace tolvane::platform {

namespace {

// The screen resolution the sizes in points are given for.
constexpr int dotsPerInch = 96;
// Font units per pixel of the strike in the outline font.
constexpr int unitsPerPixel = 64;
constexpr int lastCharacter = 0xFFFF;

bool inked(const QImage& ink, int x, int y)
{
    return x >= 0 && y >= 0 && x < ink.width() && y < ink.height() &&
           ink.constScanLine(y)[x] >= 128;
}

// A glyph's picture as 8-bit coverage. The toolkit hands out alpha maps, or once application
// fonts exist, monochrome pictures with the ink in white.
QImage coverage(const QImage& picture)
{
    return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_Alpha8
                                                             : QImage::Format_Grayscale8);
}

// The ink as rectangles of whole pixels in the ink's own coordinates, found row by row and
// joined with the identical runs of the rows below.
QList<QRect> inkRectangles(const QImage& ink)
{
    QList<QRect> done;
    QMap<std::pair<int, int>, QRect> open; // by the run's first and last column
    for (int y = 0; y < ink.height(); ++y) {
        QMap<std::pair<int, int>, QRect> next;
        for (int x = 0; x < ink.width(); ++x) {
            if (!inked(ink, x, y))
                continue;
            const int first = x;
            while (inked(ink, x + 1, y))
                ++x;
            const std::pair run{first, x};
            QRect rect = open.take(run);
            next.insert(run, rect.isNull() ? QRect(first, y, x - first + 1, 1)
                                           : rect.adjusted(0, 0, 0, 1));
        }
        done << open.values();
        open = std::move(next);
    }
    return done << open.values();
}

QString pointSizeTenths(int characterHeight)
{
    return QString::number(characterHeight * 720 / dotsPerInch);
}

// --- TrueType tables, big-endian as QDataStream writes them ---

struct Table {
    QByteArray tag;
    QByteArray data;
};

template <typename Write> QByteArray bytes(Write write)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    write(out);
    return data;
}

quint32 checksum(QByteArray data)
{
    data.resize((data.size() + 3) / 4 * 4, '\0');
    quint32 sum = 0;
    for (qsizetype i = 0; i < data.size(); i += 4)
        sum += quint32(quint8(data[i])) << 24 | quint32(quint8(data[i + 1])) << 16 |
               quint32(quint8(data[i + 2])) << 8 | quint32(quint8(data[i + 3]));
    return sum;
}

struct OutlineGlyph {
    QByteArray data; // the glyf entry; empty for a blank character
    QRect bounds;    // in font units, y up
    int points = 0;
    int contours = 0;
    int advance = 0;
};

OutlineGlyph outline(const StrikeGlyph& glyph)
{
    OutlineGlyph result;
    result.advance = glyph.advance * unitsPerPixel;
    const QList<QRect> rectangles = glyph.ink.isNull() ? QList<QRect>() : inkRectangles(glyph.ink);
    if (rectangles.isEmpty())
        return result;
    // Each rectangle is a clockwise contour (y grows upwards): top left, top right, bottom right,
    // bottom left.
    QList<QPoint> points;
    for (const QRect& rect : rectangles) {
        const int left = (glyph.left + rect.left()) * unitsPerPixel;
        const int right = (glyph.left + rect.right() + 1) * unitsPerPixel;
        const int top = (glyph.top - rect.top()) * unitsPerPixel;
        const int bottom = (glyph.top - rect.bottom() - 1) * unitsPerPixel;
        points << QPoint(left, top) << QPoint(right, top) << QPoint(right, bottom)
               << QPoint(left, bottom);
        result.bounds |= QRect(QPoint(left, bottom), QPoint(right, top));
    }
    result.points = int(points.size());
    result.contours = int(rectangles.size());
    result.data = bytes([&](QDataStream& out) {
        out << qint16(result.contours) << qint16(result.bounds.left())
            << qint16(result.bounds.top()) << qint16(result.bounds.right())
            << qint16(result.bounds.bottom());
        for (int contour = 1; contour <= result.contours; ++contour)
            out << quint16(contour * 4 - 1);
        out << quint16(0); // no instructions
        for (qsizetype i = 0; i < points.size(); ++i)
            out << quint8(0x01); // on the curve, coordinates as 16-bit deltas
        QPoint previous;
        for (const QPoint& point : std::as_const(points)) {
            out << qint16(point.x() - previous.x());
            previous.setX(point.x());
        }
        for (const QPoint& point : std::as_const(points)) {
            out << qint16(point.y() - previous.y());
            previous.setY(point.y());
        }
    });
    result.data.resize((result.data.size() + 3) / 4 * 4, '\0');
    return result;
}

// A format 4 character map of the characters, glyph 1 onwards in their order: one segment for
// every run of consecutive codes.
QByteArray characterMap(const QList<StrikeGlyph>& glyphs)
{
    struct Segment {
        quint16 start;
        quint16 end;
        quint16 delta;
    };
    QList<Segment> segments;
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        const auto code = quint16(glyphs[i].code);
        const auto delta = quint16(i + 1 - code);
        if (!segments.isEmpty() && segments.last().end + 1 == code &&
            segments.last().delta == delta)
            segments.last().end = code;
        else
            segments << Segment{code, code, delta};
    }
    segments << Segment{0xFFFF, 0xFFFF, 1};
    const auto count = quint16(segments.size());
    quint16 searchRange = 2;
    quint16 entrySelector = 0;
    while (searchRange * 2 <= count * 2 && searchRange * 2 <= 0x8000) {
        searchRange *= 2;
        ++entrySelector;
    }
    const QByteArray subtable = bytes([&](QDataStream& out) {
        out << quint16(4) << quint16(16 + 8 * count) << quint16(0) << quint16(count * 2)
            << searchRange << entrySelector << quint16(count * 2 - searchRange);
        for (const Segment& segment : std::as_const(segments))
            out << segment.end;
        out << quint16(0);
        for (const Segment& segment : std::as_const(segments))
            out << segment.start;
        for (const Segment& segment : std::as_const(segments))
            out << segment.delta;
        for (qsizetype i = 0; i < segments.size(); ++i)
            out << quint16(0);
    });
    return bytes([&](QDataStream& out) {
               out << quint16(0) << quint16(1) << quint16(3) << quint16(1) << quint32(12);
           }) +
           subtable;
}

QByteArray nameTable(const QString& family, const QString& style)
{
    const std::array<std::pair<quint16, QString>, 4> names{
        {{1, family},
         {2, style},
         {4, family + u' ' + style},
         {6, QString(family + u'-' + style).remove(u' ')}}};
    QByteArray strings;
    const QByteArray records = bytes([&](QDataStream& out) {
        for (const auto& [id, text] : names) {
            QByteArray utf16;
            for (const QChar c : text)
                utf16 += bytes([c](QDataStream& s) { s << quint16(c.unicode()); });
            out << quint16(3) << quint16(1) << quint16(0x409) << id << quint16(utf16.size())
                << quint16(strings.size());
            strings += utf16;
        }
    });
    return bytes([&](QDataStream& out) {
               out << quint16(0) << quint16(names.size()) << quint16(6 + records.size());
           }) +
           records + strings;
}

QByteArray fontFile(QList<Table> tables)
{
    std::sort(tables.begin(), tables.end(),
              [](const Table& a, const Table& b) { return a.tag < b.tag; });
    const auto count = quint16(tables.size());
    quint16 searchRange = 16;
    quint16 entrySelector = 0;
    while (searchRange * 2 <= count * 16) {
        searchRange *= 2;
        ++entrySelector;
    }
    QByteArray body;
    QByteArray directory = bytes([&](QDataStream& out) {
        out << quint32(0x00010000) << count << searchRange << entrySelector
            << quint16(count * 16 - searchRange);
    });
    const qsizetype headerSize = 12 + 16 * tables.size();
    qsizetype headOffset = 0;
    for (const Table& table : std::as_const(tables)) {
        if (table.tag == "head")
            headOffset = headerSize + body.size();
        directory += table.tag + bytes([&](QDataStream& out) {
                         out << checksum(table.data) << quint32(headerSize + body.size())
                             << quint32(table.data.size());
                     });
        body += table.data;
        body.resize((body.size() + 3) / 4 * 4, '\0');
    }
    QByteArray file = directory + body;
    const quint32 adjustment = 0xB1B0AFBA - checksum(file);
    const QByteArray value = bytes([adjustment](QDataStream& out) { out << adjustment; });
    file.replace(headOffset + 8, 4, value);
    return file;
}

} // namespace

Strike readStrike(const QString& fontFile, int pixelSize)
{
    const QRawFont font(fontFile, pixelSize);
    Strike strike;
    if (!font.isValid() || qRound(font.ascent() + font.descent()) != pixelSize)
        return strike;
    strike.ascent = qRound(font.ascent());
    strike.descent = qRound(font.descent());
    for (char32_t code = 0x20; code <= lastCharacter; ++code) {
        if (!font.supportsCharacter(uint(code)))
            continue;
        const QString text = QString::fromUcs4(&code, 1);
        const QList<quint32> indexes = font.glyphIndexesForString(text);
        if (indexes.size() != 1)
            continue;
        StrikeGlyph glyph;
        glyph.code = code;
        glyph.advance = qRound(font.advancesForGlyphIndexes(indexes).value(0).x());
        const QRectF bounds = font.boundingRect(indexes[0]);
        const QImage ink = font.alphaMapForGlyph(indexes[0], QRawFont::PixelAntialiasing);
        if (!bounds.isEmpty() && !ink.isNull()) {
            glyph.ink = coverage(ink);
            glyph.left = qRound(bounds.left());
            glyph.top = qRound(-bounds.top());
        }
        strike.glyphs << glyph;
    }
    return strike;
}

Strike emboldened(const Strike& strike)
{
    Strike bold = strike;
    for (StrikeGlyph& glyph : bold.glyphs) {
        ++glyph.advance;
        if (glyph.ink.isNull())
            continue;
        QImage wider(glyph.ink.width() + 1, glyph.ink.height(), QImage::Format_Alpha8);
        wider.fill(0);
        for (int y = 0; y < wider.height(); ++y)
            for (int x = 0; x < wider.width(); ++x)
                wider.scanLine(y)[x] =
                    inked(glyph.ink, x, y) || inked(glyph.ink, x - 1, y) ? 255 : 0;
        glyph.ink = wider;
    }
    return bold;
}

QByteArray bitmapFont(const Strike& strike, const QString& family, bool bold, int characterHeight)
{
    const QString weight = bold ? QStringLiteral("Bold") : QStringLiteral("Medium");
    const int widest = std::accumulate(
        strike.glyphs.cbegin(), strike.glyphs.cend(), 1,
        [](int most, const StrikeGlyph& glyph) { return std::max(most, glyph.ink.width()); });
    QString bdf;
    bdf +=
        QStringLiteral("STARTFONT 2.1\nFONT -unknown-%1-%2-R-Normal--%3-%4-%5-%5-P-0-ISO10646-1\n")
            .arg(family, weight)
            .arg(characterHeight)
            .arg(pointSizeTenths(characterHeight))
            .arg(dotsPerInch);
    bdf += QStringLiteral("SIZE %1 %2 %2\nFONTBOUNDINGBOX %3 %4 0 %5\n")
               .arg(characterHeight * 72 / dotsPerInch)
               .arg(dotsPerInch)
               .arg(widest)
               .arg(strike.ascent + strike.descent)
               .arg(-strike.descent);
    bdf += QStringLiteral(
               "STARTPROPERTIES 14\nFOUNDRY \"Tolvane\"\nFAMILY_NAME \"%1\"\nWEIGHT_NAME \"%2\"\n"
               "SLANT \"R\"\nSETWIDTH_NAME \"Normal\"\nPIXEL_SIZE %3\nPOINT_SIZE %4\n"
               "RESOLUTION_X %5\nRESOLUTION_Y %5\nSPACING \"P\"\nFONT_ASCENT %6\n"
               "FONT_DESCENT %7\nCHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\n"
               "ENDPROPERTIES\nCHARS %8\n")
               .arg(family, weight)
               .arg(characterHeight)
               .arg(pointSizeTenths(characterHeight))
               .arg(dotsPerInch)
               .arg(strike.ascent)
               .arg(strike.descent)
               .arg(strike.glyphs.size());
    QByteArray glyphs;
    for (const StrikeGlyph& glyph : strike.glyphs) {
        const int width = glyph.ink.width();
        const int height = glyph.ink.height();
        glyphs += "STARTCHAR U+" + QByteArray::number(uint(glyph.code), 16).rightJustified(4, '0') +
                  "\nENCODING " + QByteArray::number(uint(glyph.code)) + "\nSWIDTH " +
                  QByteArray::number(glyph.advance * 1000 / characterHeight) + " 0\nDWIDTH " +
                  QByteArray::number(glyph.advance) + " 0\nBBX " + QByteArray::number(width) + ' ' +
                  QByteArray::number(height) + ' ' + QByteArray::number(glyph.left) + ' ' +
                  QByteArray::number(glyph.top - height) + "\nBITMAP\n";
        for (int y = 0; y < height; ++y) {
            QByteArray row((width + 7) / 8, '\0');
            for (int x = 0; x < width; ++x)
                if (inked(glyph.ink, x, y))
                    row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
            glyphs += row.toHex().toUpper() + '\n';
        }
        glyphs += "ENDCHAR\n";
    }
    return bdf.toLatin1() + glyphs + "ENDFONT\n";
}

QByteArray outlineFont(const Strike& strike, const QString& family, bool bold, int characterHeight)
{
    QList<OutlineGlyph> glyphs{OutlineGlyph{}}; // glyph 0, the missing character, is blank
    for (const StrikeGlyph& glyph : strike.glyphs)
        glyphs << outline(glyph);
    const auto count = quint16(glyphs.size());
    QRect bounds;
    int widest = 0;
    int mostPoints = 0;
    int mostContours = 0;
    for (const OutlineGlyph& glyph : std::as_const(glyphs)) {
        bounds |= glyph.bounds;
        widest = std::max(widest, glyph.advance);
        mostPoints = std::max(mostPoints, glyph.points);
        mostContours = std::max(mostContours, glyph.contours);
    }
    const int ascender = strike.ascent * unitsPerPixel;
    const int descender = strike.descent * unitsPerPixel;
    const int averageWidth = glyphs.size() > 1
                                 ? std::accumulate(glyphs.cbegin() + 1, glyphs.cend(), 0,
                                                   [](int sum, const OutlineGlyph& glyph) {
                                                       return sum + glyph.advance;
                                                   }) /
                                       int(glyphs.size() - 1)
                                 : 0;

    QByteArray glyf;
    const QByteArray loca = bytes([&](QDataStream& out) {
        for (const OutlineGlyph& glyph : std::as_const(glyphs)) {
            out << quint32(glyf.size());
            glyf += glyph.data;
        }
        out << quint32(glyf.size());
    });
    const QByteArray hmtx = bytes([&](QDataStream& out) {
        for (const OutlineGlyph& glyph : std::as_const(glyphs))
            out << quint16(glyph.advance) << qint16(glyph.bounds.left());
    });
    const QByteArray head = bytes([&](QDataStream& out) {
        out << quint32(0x00010000) << quint32(0x00010000) << quint32(0) << quint32(0x5F0F3CF5)
            << quint16(0x000B) << quint16(characterHeight * unitsPerPixel) << qint64(0) << qint64(0)
            << qint16(bounds.left()) << qint16(bounds.top()) << qint16(bounds.right())
            << qint16(bounds.bottom()) << quint16(bold ? 1 : 0) << quint16(characterHeight)
            << qint16(2) << qint16(1) << qint16(0);
    });
    const QByteArray hhea = bytes([&](QDataStream& out) {
        out << quint32(0x00010000) << qint16(ascender) << qint16(-descender) << qint16(0)
            << quint16(widest) << qint16(bounds.left()) << qint16(0) << qint16(bounds.right())
            << qint16(1) << qint16(0) << qint16(0);
        for (int reserved = 0; reserved < 5; ++reserved)
            out << qint16(0);
        out << count;
    });
    const QByteArray maxp = bytes([&](QDataStream& out) {
        out << quint32(0x00010000) << count << quint16(mostPoints) << quint16(mostContours)
            << quint16(0) << quint16(0) << quint16(2);
        for (int unused = 0; unused < 8; ++unused)
            out << quint16(0);
    });
    const quint16 firstCode = strike.glyphs.isEmpty() ? 0 : quint16(strike.glyphs.first().code);
    const quint16 lastCode = strike.glyphs.isEmpty() ? 0 : quint16(strike.glyphs.last().code);
    const QByteArray os2 = bytes([&](QDataStream& out) {
        out << quint16(4) << qint16(averageWidth) << quint16(bold ? 700 : 400) << quint16(5)
            << quint16(0);
        for (int unused = 0; unused < 11; ++unused) // sub- and superscripts, strikeout, class
            out << qint16(0);
        for (int panose = 0; panose < 10; ++panose)
            out << quint8(0);
        // Basic Latin and Latin-1; the vendor is left blank.
        out << quint32(0x3) << quint32(0) << quint32(0) << quint32(0) << quint32(0)
            << quint16(bold ? 0x20 : 0x40) << firstCode << lastCode << qint16(ascender)
            << qint16(-descender) << qint16(0) << quint16(ascender) << quint16(descender)
            << quint32(0x1) << quint32(0) << qint16(0) << qint16(0) << quint16(0) << quint16(0x20)
            << quint16(1);
    });
    const QByteArray post = bytes([&](QDataStream& out) {
        out << quint32(0x00030000) << quint32(0) << qint16(-unitsPerPixel) << qint16(unitsPerPixel)
            << quint32(0) << quint32(0) << quint32(0) << quint32(0) << quint32(0);
    });
    return fontFile(
        {{"OS/2", os2},
         {"cmap", characterMap(strike.glyphs)},
         {"glyf", glyf},
         {"head", head},
         {"hhea", hhea},
         {"hmtx", hmtx},
         {"loca", loca},
         {"maxp", maxp},
         {"name", nameTable(family, bold ? QStringLiteral("Bold") : QStringLiteral("Regular"))},
         {"post", post}});
}

} // namespace tolvane::platform
