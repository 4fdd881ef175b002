#include "widgets/EffectLabel.h"
#include "platform/ErrorDispatch.h"
#include "tests/support/QtPrinting.h"
#include "widgets/BackGround.h"

#include <QFontMetrics>
#include <QImage>
#include <QMetaEnum>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

#include <set>

namespace {

using tolvane::Tdxf3DEffect;
using tolvane::TdxfLabel;

using Pixels = std::set<std::pair<int, int>>;

const QColor white(255, 255, 255);
const QColor black(0, 0, 0);
const QColor lime(0, 255, 0);
const QColor grey(128, 128, 128);

QImage snapshot(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

Pixels pixelsOf(const QImage& image, const QColor& color)
{
    Pixels found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == color.rgb())
                found.insert({x, y});
    return found;
}

Pixels shifted(const Pixels& pixels, QPoint by)
{
    Pixels moved;
    for (const auto& [x, y] : pixels)
        moved.insert({x + by.x(), y + by.y()});
    return moved;
}

struct CollectedErrors {
    CollectedErrors()
    {
        tolvane::platform::setErrorReporter([this](const QString& text) { texts << text; });
    }
    ~CollectedErrors() { tolvane::platform::setErrorReporter({}); }
    QStringList texts;
};

// Black letters on white in the form font, large enough for every shadow to fit.
void plainLabel(TdxfLabel& label, const QString& text = QStringLiteral("Wg"))
{
    label.setText(text);
    label.resize(40, 25);
    label.setColor(white);
    label.setFontColor(black);
}

QFont scalableFont(int pixels)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

const Tdxf3DEffect::Orientation allOrientations[] = {
    Tdxf3DEffect::dxfLeft,     Tdxf3DEffect::dxfRight,      Tdxf3DEffect::dxfTop,
    Tdxf3DEffect::dxfBottom,   Tdxf3DEffect::dxfLeftTop,    Tdxf3DEffect::dxfLeftBottom,
    Tdxf3DEffect::dxfRightTop, Tdxf3DEffect::dxfRightBottom};

TEST(Effect3D, OffsetsFollowTheOrientationByTheDepth)
{
    const std::pair<Tdxf3DEffect::Orientation, QPoint> table[] = {
        {Tdxf3DEffect::dxfLeft, {-3, 0}},     {Tdxf3DEffect::dxfRight, {3, 0}},
        {Tdxf3DEffect::dxfTop, {0, -3}},      {Tdxf3DEffect::dxfBottom, {0, 3}},
        {Tdxf3DEffect::dxfLeftTop, {-3, -3}}, {Tdxf3DEffect::dxfLeftBottom, {-3, 3}},
        {Tdxf3DEffect::dxfRightTop, {3, -3}}, {Tdxf3DEffect::dxfRightBottom, {3, 3}}};
    for (const auto& [orientation, offset] : table) {
        Tdxf3DEffect effect;
        effect.orientation = orientation;
        effect.depth = 3;
        EXPECT_EQ(effect.offset(), offset) << orientation;
    }
}

TEST(Effect3D, StartsCoolTowardsTheRightBottomWithoutDepthInGrey)
{
    const Tdxf3DEffect effect;
    EXPECT_EQ(effect.style, Tdxf3DEffect::dxfCool);
    EXPECT_EQ(effect.orientation, Tdxf3DEffect::dxfRightBottom);
    EXPECT_EQ(effect.depth, 0);
    EXPECT_EQ(effect.shadowedColor, grey);
    EXPECT_TRUE(effect.copies(white, false).empty());
}

TEST(Effect3D, CoolIsOneCopyAndExtrudeOneCopyPerPixelFarthestFirst)
{
    Tdxf3DEffect effect;
    effect.orientation = Tdxf3DEffect::dxfLeftTop;
    effect.depth = 3;
    EXPECT_EQ(effect.copies(white, false), (std::vector<Tdxf3DEffect::Copy>{{{-3, -3}, grey}}));

    effect.style = Tdxf3DEffect::dxfExtrude;
    EXPECT_EQ(
        effect.copies(white, false),
        (std::vector<Tdxf3DEffect::Copy>{{{-3, -3}, grey}, {{-2, -2}, grey}, {{-1, -1}, grey}}));
}

TEST(Effect3D, FunRampsFromTheShadowTowardsTheLabelColour)
{
    Tdxf3DEffect effect;
    effect.style = Tdxf3DEffect::dxfFun;
    effect.orientation = Tdxf3DEffect::dxfBottom;
    effect.depth = 3;
    effect.shadowedColor = QColor(0, 0, 0);
    // (k - 1) * (B - S) / n + S with B = 255, 100, 10 and n = 3
    EXPECT_EQ(effect.copies(QColor(255, 100, 10), false),
              (std::vector<Tdxf3DEffect::Copy>{{{0, 3}, QColor(170, 66, 6)},
                                               {{0, 2}, QColor(85, 33, 3)},
                                               {{0, 1}, QColor(0, 0, 0)}}));
    // A label in a system colour ramps towards silver.
    EXPECT_EQ(effect.copies(QColor(255, 100, 10), true).front().color, QColor(128, 128, 128));
}

// Each style and orientation, drawn: the copies are the letters moved by their offsets, under the
// letters themselves.
class ShadowPixels : public testing::TestWithParam<
                         std::tuple<Tdxf3DEffect::EffectStyle, Tdxf3DEffect::Orientation>> {};

TEST_P(ShadowPixels, CopiesLandAtTheirOffsets)
{
    const auto [style, orientation] = GetParam();
    TdxfLabel label;
    plainLabel(label);
    const Pixels letters = pixelsOf(snapshot(label), black);
    ASSERT_GT(letters.size(), 20u);

    const int depth = 3;
    label.setEffect3DStyle(style);
    label.setEffect3DOrientation(orientation);
    label.setEffect3DShadowedColor(QColor(0, 0, 200));
    label.setEffect3DDepth(depth);

    QImage expected(label.size(), QImage::Format_RGB32);
    expected.fill(white);
    const auto paint = [&](const Pixels& pixels, const QColor& color) {
        for (const auto& [x, y] : pixels)
            if (expected.rect().contains(x, y))
                expected.setPixel(x, y, color.rgb());
    };
    // The worked examples above hold where the copies go; the label must draw just those.
    Tdxf3DEffect effect;
    effect.style = style;
    effect.orientation = orientation;
    effect.depth = depth;
    effect.shadowedColor = QColor(0, 0, 200);
    for (const Tdxf3DEffect::Copy& copy : effect.copies(white, false))
        paint(shifted(letters, copy.offset), copy.color);
    paint(letters, black);

    EXPECT_EQ(snapshot(label), expected);
}

std::string shadowName(const testing::TestParamInfo<ShadowPixels::ParamType>& param)
{
    const QMetaObject& meta = Tdxf3DEffect::staticMetaObject;
    const auto key = [&](const char* enumName, int value) {
        const QMetaEnum names = meta.enumerator(meta.indexOfEnumerator(enumName));
        return std::string(names.valueToKey(value));
    };
    return key("EffectStyle", std::get<0>(param.param)) +
           key("Orientation", std::get<1>(param.param));
}

INSTANTIATE_TEST_SUITE_P(AllStyles, ShadowPixels,
                         testing::Combine(testing::Values(Tdxf3DEffect::dxfFun,
                                                          Tdxf3DEffect::dxfExtrude,
                                                          Tdxf3DEffect::dxfCool),
                                          testing::ValuesIn(allOrientations)),
                         shadowName);

TEST(EffectLabel, StartsAsTheFormsPlainCaption)
{
    TdxfLabel label;
    EXPECT_EQ(label.font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(label.font().pixelSize(), 11);
    EXPECT_EQ(label.labelStyle(), TdxfLabel::dxfNormal);
    EXPECT_EQ(label.angle(), 0);
    EXPECT_EQ(label.penWidth(), 1);
    EXPECT_TRUE(label.parentColor());
    EXPECT_FALSE(label.transparent());
    EXPECT_FALSE(label.autoSize());
    EXPECT_FALSE(label.isTrueType());
}

struct CentringCase {
    const char* text;
    QRect bounds;
};

void PrintTo(const CentringCase& c, std::ostream* out)
{
    *out << '"' << c.text << "\" in " << c.bounds.width() << 'x' << c.bounds.height();
}

class Centring : public testing::TestWithParam<CentringCase> {};

// The caption's cell is centred both ways; the letters are where text drawn in that cell goes.
TEST_P(Centring, CaptionsAreCentredBothWays)
{
    const CentringCase c = GetParam();
    QWidget form;
    form.resize(271, 195);
    TdxfLabel label(QString::fromLatin1(c.text), &form);
    label.setGeometry(c.bounds);
    label.setColor(black);
    label.setFontColor(lime);

    const QFontMetrics metrics(label.font());
    const int tw = metrics.horizontalAdvance(label.text());
    const int th = metrics.height();
    const QPoint origin = label.textOrigin();
    EXPECT_LE(std::abs(2 * origin.x() + tw - c.bounds.width()), 1);
    EXPECT_LE(std::abs(2 * origin.y() + th - c.bounds.height()), 1);

    QImage expected(c.bounds.size(), QImage::Format_RGB32);
    expected.fill(black);
    QPainter painter(&expected);
    painter.setFont(label.font());
    painter.setPen(lime);
    painter.drawText(QRect(origin, QSize(tw, th)), Qt::AlignLeft | Qt::AlignTop, label.text());
    painter.end();
    const QImage drawn = snapshot(label);
    EXPECT_EQ(drawn, expected);
    EXPECT_GT(pixelsOf(drawn, lime).size(), 30u);
}

std::string centringName(const testing::TestParamInfo<CentringCase>& param)
{
    return QString::fromLatin1(param.param.text).remove(u' ').toStdString() +
           std::to_string(param.param.bounds.width());
}

INSTANTIATE_TEST_SUITE_P(Captions, Centring,
                         testing::Values(CentringCase{"Round", {226, 96, 31, 13}},
                                         CentringCase{"Remaining time", {21, 96, 72, 13}},
                                         CentringCase{"Elapsed time", {133, 96, 60, 13}},
                                         CentringCase{"Round", {0, 0, 100, 60}}),
                         centringName);

TEST(EffectLabel, ATransparentLabelShowsOnlyItsLettersOverTheFormsBackground)
{
    QWidget form;
    form.resize(100, 40);
    tolvane::TdxfBackGround background(&form);
    background.setBeginColor(black);
    background.setEndColor(black);
    TdxfLabel label(QStringLiteral("Round"), &form);
    label.setGeometry(10, 10, 40, 13);
    label.setFontColor(lime);
    label.setTransparent(true);

    const QColor face = label.color();
    ASSERT_EQ(face, form.palette().color(QPalette::Window));
    const QImage image = snapshot(form);
    EXPECT_TRUE(pixelsOf(image, face).empty());
    EXPECT_GT(pixelsOf(image, lime).size(), 30u);
    EXPECT_EQ(pixelsOf(image, lime).size() + pixelsOf(image, black).size(),
              std::size_t(image.width() * image.height()));

    label.setTransparent(false);
    EXPECT_EQ(pixelsOf(snapshot(form), face).size() + pixelsOf(snapshot(form), lime).size(),
              std::size_t(40 * 13));
}

TEST(EffectLabel, AnAngleOnTheFormFontIsRefusedWithTheMessage)
{
    TdxfLabel label(QStringLiteral("Round"));
    CollectedErrors errors;
    label.setAngle(90);
    EXPECT_EQ(label.angle(), 0);
    EXPECT_EQ(errors.texts, QStringList{QStringLiteral(
                                "The Angle property is applicable for the TrueType fonts only.")});

    label.setProperty("angle", 45);
    EXPECT_EQ(label.angle(), 0);
    EXPECT_EQ(errors.texts.size(), 2);
}

TEST(EffectLabel, AScalableFontTurnsAndAnglesOutOfRangeAreIgnored)
{
    TdxfLabel label(QStringLiteral("Wide caption"));
    label.setFont(scalableFont(14));
    label.resize(120, 120);
    label.setColor(white);
    label.setFontColor(black);
    ASSERT_TRUE(label.isTrueType());

    CollectedErrors errors;
    label.setAngle(90);
    EXPECT_EQ(label.angle(), 90);
    label.setAngle(361);
    label.setAngle(-1);
    EXPECT_EQ(label.angle(), 90);
    EXPECT_TRUE(errors.texts.isEmpty());

    // Turned a quarter counter-clockwise, the caption stands up, centred.
    const Pixels ink = pixelsOf(snapshot(label), black);
    ASSERT_FALSE(ink.empty());
    int left = 120, right = 0, top = 120, bottom = 0;
    for (const auto& [x, y] : ink) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    EXPECT_GT(bottom - top, 3 * (right - left));
    EXPECT_NEAR((top + bottom) / 2.0, 60, 3);
    EXPECT_NEAR((left + right) / 2.0, 60, 4);
}

TEST(EffectLabel, RaisedDrawsAHighlightAndTheTextOnePixelDownRight)
{
    TdxfLabel label;
    plainLabel(label);
    label.setColor(QColor(200, 200, 100));
    const Pixels letters = pixelsOf(snapshot(label), black);

    label.setLabelStyle(TdxfLabel::dxfRaised);
    const QImage raised = snapshot(label);
    EXPECT_EQ(pixelsOf(raised, black), shifted(letters, {1, 1}));
    const QColor highlight = label.palette().color(QPalette::Light);
    for (const auto& pixel : pixelsOf(raised, highlight))
        EXPECT_TRUE(letters.contains(pixel));
    EXPECT_FALSE(pixelsOf(raised, highlight).empty());
}

TEST(EffectLabel, LoweredTakesTheParentsColourAndDrawsTheTextInShadow)
{
    QWidget form;
    TdxfLabel label(&form);
    plainLabel(label);
    const Pixels letters = pixelsOf(snapshot(label), black);

    label.setLabelStyle(TdxfLabel::dxfLowered);
    const QImage lowered = snapshot(label);
    EXPECT_TRUE(label.parentColor());
    EXPECT_TRUE(label.isSystemColor());
    EXPECT_EQ(label.color(), form.palette().color(QPalette::Window));
    EXPECT_EQ(pixelsOf(lowered, label.palette().color(QPalette::Dark)), shifted(letters, {1, 1}));

    // A parent in a colour of its own: the text is that colour darkened to two thirds.
    form.setPalette(QPalette(QColor(90, 150, 255)));
    label.setPalette(QPalette(QColor(90, 150, 255)));
    label.setFontColor(black);
    EXPECT_FALSE(label.isSystemColor());
    EXPECT_EQ(pixelsOf(snapshot(label), QColor(60, 100, 170)), shifted(letters, {1, 1}));
}

TEST(EffectLabel, OutlineStrokesScalableLettersWithThePenWidth)
{
    TdxfLabel label(QStringLiteral("I"));
    label.setFont(scalableFont(48));
    label.resize(60, 60);
    label.setColor(white);
    label.setFontColor(black);
    label.setTransparent(true); // no antialiasing, so every pixel is one of the two colours
    const QImage filled = snapshot(label);

    label.setLabelStyle(TdxfLabel::dxfOutLine);
    const QImage thin = snapshot(label);
    EXPECT_EQ(QColor(filled.pixel(30, 30)), black);
    EXPECT_NE(QColor(thin.pixel(30, 30)), black);

    label.setPenWidth(5);
    EXPECT_GT(pixelsOf(snapshot(label), black).size(), pixelsOf(thin, black).size());

    // The form font cannot be outlined and draws as a plain caption.
    TdxfLabel bitmap;
    plainLabel(bitmap);
    const Pixels plain = pixelsOf(snapshot(bitmap), black);
    bitmap.setLabelStyle(TdxfLabel::dxfOutLine);
    EXPECT_EQ(pixelsOf(snapshot(bitmap), black), plain);
}

TEST(EffectLabel, AGlyphFillsScalableLettersOnly)
{
    QPixmap texture(4, 4);
    texture.fill(QColor(200, 0, 0));

    TdxfLabel label(QStringLiteral("I"));
    label.setFont(scalableFont(48));
    label.resize(60, 60);
    label.setColor(white);
    label.setFontColor(black);
    label.setGlyph(texture);
    const QImage image = snapshot(label);
    EXPECT_EQ(QColor(image.pixel(30, 30)), QColor(200, 0, 0));
    EXPECT_TRUE(pixelsOf(image, black).empty());

    TdxfLabel bitmap;
    plainLabel(bitmap);
    bitmap.setGlyph(texture);
    EXPECT_TRUE(pixelsOf(snapshot(bitmap), QColor(200, 0, 0)).empty());
    EXPECT_FALSE(pixelsOf(snapshot(bitmap), black).empty());
}

TEST(EffectLabel, TheSharedBitmapOnlyGrows)
{
    TdxfLabel big;
    plainLabel(big);
    big.resize(300, 50);
    snapshot(big);
    const QSize grown = TdxfLabel::sharedBitmapSize();
    EXPECT_GE(grown.width(), 300);
    EXPECT_GE(grown.height(), 50);

    TdxfLabel small;
    plainLabel(small);
    small.resize(10, 10);
    snapshot(small);
    EXPECT_EQ(TdxfLabel::sharedBitmapSize(), grown);

    small.resize(20, grown.height() + 5);
    snapshot(small);
    EXPECT_EQ(TdxfLabel::sharedBitmapSize(), QSize(grown.width(), grown.height() + 5));
}

TEST(EffectLabel, AutoSizeFitsTheCaptionsCell)
{
    TdxfLabel label(QStringLiteral("Round"));
    label.resize(5, 5);
    label.setAutoSize(true);
    const QFontMetrics metrics(label.font());
    EXPECT_EQ(label.size(),
              QSize(metrics.horizontalAdvance(QStringLiteral("Round")), metrics.height()));
    label.setText(QStringLiteral("Remaining time"));
    EXPECT_EQ(label.width(), metrics.horizontalAdvance(QStringLiteral("Remaining time")));
}

TEST(EffectLabel, AnExplicitColourIsNotTheParentsAndNotASystemColour)
{
    QWidget form;
    TdxfLabel label(&form);
    EXPECT_TRUE(label.isSystemColor());
    EXPECT_EQ(label.color(), form.palette().color(QPalette::Window));
    label.setColor(QColor(1, 2, 3));
    EXPECT_FALSE(label.parentColor());
    EXPECT_FALSE(label.isSystemColor());
    EXPECT_EQ(label.color(), QColor(1, 2, 3));
    label.setParentColor(true);
    EXPECT_EQ(label.color(), form.palette().color(QPalette::Window));
}

} // namespace
