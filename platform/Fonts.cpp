#include "platform/Fonts.h"

#include "platform/StrikeFonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include <array>

#include <fontconfig/fontconfig.h>

namespace tolvane::platform {

namespace {

struct StrikeSize {
    int cell;      // the strike's pixel size in the font file
    int character; // the height a font is asked for with, the cell less its internal leading
};

// The .ttf file holds the narrow bitmap strikes the forms were laid out with (its .fon siblings
// resolve to a wider strike), at 8, 10 and 12 points.
constexpr StrikeSize smallStrike{13, 11};
constexpr std::array<StrikeSize, 2> largerStrikes{{{16, 13}, {20, 16}}};

const QString formFamily = QStringLiteral("MS Sans Serif");
bool s_strikesRegistered = false;

// The outlines stand for pixels: drawn without smoothing they show whole pixels wherever a text
// is placed, also half a pixel off, as some styles place it, just as a bitmap font does.
constexpr char wholePixels[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <match target="pattern">
    <test name="family"><string>MS Sans Serif</string></test>
    <edit name="antialias" mode="assign"><bool>false</bool></edit>
  </match>
</fontconfig>
)";

} // namespace

void registerFormFont()
{
    const QString file = QStringLiteral(TOLVANE_FORM_FONT);
    const QString& family = formFamily;
    // The size of most texts comes as outlines of its strike's pixels: at 1x they draw that
    // strike, and on a screen scaled by a whole factor the same pixels that many times larger.
    // A bitmap font has no size but its own there, and draws its pixels with gaps between them.
    const Strike small = readStrike(file, smallStrike.cell);
    if (small.glyphs.isEmpty()) {
        QFont::insertSubstitutions(family,
                                   {QStringLiteral("Liberation Sans"),
                                    QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
        return;
    }
    // The larger sizes are drawn at 1x only (the buttons compose their captions so): as bitmaps,
    // under the height that asks for them, in a foundry of their own. At those heights the
    // bitmaps and the outlines fit equally well, and the toolkit takes the foundry it learnt
    // first: the bitmaps come first.
    for (const StrikeSize& size : largerStrikes) {
        const Strike strike = readStrike(file, size.cell);
        QFontDatabase::addApplicationFontFromData(
            bitmapFont(strike, family, false, size.character));
        QFontDatabase::addApplicationFontFromData(
            bitmapFont(emboldened(strike), family, true, size.character));
    }
    FcConfigParseAndLoadFromMemory(FcConfigGetCurrent(),
                                   reinterpret_cast<const FcChar8*>(wholePixels), FcTrue);
    QFontDatabase::addApplicationFontFromData(
        outlineFont(small, family, false, smallStrike.character));
    QFontDatabase::addApplicationFontFromData(
        outlineFont(emboldened(small), family, true, smallStrike.character));
    s_strikesRegistered = true;
}

bool isRasterFont(const QFont& font)
{
    // With two foundries the toolkit names the family "MS Sans Serif [foundry]".
    return s_strikesRegistered &&
           QFontInfo(font).family().section(QStringLiteral(" ["), 0, 0) == formFamily;
}

} // namespace tolvane::platform
