#include "widgets/BackGround.h"
#include "platform/ErrorDispatch.h"
#include "platform/Errors.h"
#include "tests/support/QtPrinting.h"
#include "widgets/Gradient.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

using tolvane::GradientBand;
using tolvane::TdxfBackGround;

const QColor blue(0, 0, 255);
const QColor black(0, 0, 0);

QImage snapshot(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The runs of equal colour down one column: (length, colour) pairs from the top.
std::vector<std::pair<int, QRgb>> runsDown(const QImage& image, int x)
{
    std::vector<std::pair<int, QRgb>> runs;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb pixel = image.pixel(x, y);
        if (runs.empty() || runs.back().second != pixel)
            runs.push_back({0, pixel});
        ++runs.back().first;
    }
    return runs;
}

// Collects what the user would be shown instead of opening a message box.
struct CollectedErrors {
    CollectedErrors()
    {
        tolvane::platform::setErrorReporter([this](const QString& text) { texts << text; });
    }
    ~CollectedErrors() { tolvane::platform::setErrorReporter({}); }
    QStringList texts;
};

struct BandCase {
    int extent;
    int bands;
    int bandSize;
};

class GradientBands : public testing::TestWithParam<BandCase> {};

TEST_P(GradientBands, StripesAreAHundredAndTwentyEighthOfTheExtent)
{
    const BandCase c = GetParam();
    const auto down = tolvane::gradientBands({271, c.extent}, Qt::Vertical, blue, black);
    ASSERT_EQ(int(down.size()), c.bands);
    EXPECT_EQ(down.front().rect, QRect(0, 0, 271, c.bandSize));
    EXPECT_EQ(down.back().rect, QRect(0, (c.bands - 1) * c.bandSize, 271, c.bandSize));

    const auto across = tolvane::gradientBands({c.extent, 40}, Qt::Horizontal, blue, black);
    ASSERT_EQ(int(across.size()), c.bands);
    EXPECT_EQ(across.back().rect, QRect((c.bands - 1) * c.bandSize, 0, c.bandSize, 40));
}

std::string extentName(const testing::TestParamInfo<BandCase>& param)
{
    return "Extent" + std::to_string(param.param.extent);
}

INSTANTIATE_TEST_SUITE_P(Extents, GradientBands,
                         testing::Values(BandCase{100, 100, 1}, BandCase{256, 128, 2},
                                         BandCase{300, 150, 2}, BandCase{195, 195, 1},
                                         BandCase{1, 1, 1}),
                         extentName);

TEST(Gradient, BlueToBlackOverOneHundredAndTwentyEightEndsOneShortOfBlack)
{
    const auto bands = tolvane::gradientBands({10, 128}, Qt::Vertical, blue, black);
    ASSERT_EQ(bands.size(), 128u);
    EXPECT_EQ(bands.front().color, blue);
    EXPECT_EQ(bands.back().color, QColor(0, 0, 1));
    EXPECT_EQ(bands[64].color, QColor(0, 0, 127)); // 255 - 255 * 64 / 128 = 127.5
}

TEST(Gradient, ChannelsTruncateTowardZeroEitherWay)
{
    EXPECT_EQ(tolvane::gradientChannel(255, 0, 127, 128), 1);
    EXPECT_EQ(tolvane::gradientChannel(0, 255, 127, 128), 253); // 253.008
    EXPECT_EQ(tolvane::gradientChannel(10, 10, 50, 100), 10);
    EXPECT_EQ(tolvane::gradientChannel(0, 255, 1, 3), 85);
}

TEST(Gradient, EmptyAreaHasNoStripes)
{
    EXPECT_TRUE(tolvane::gradientBands({271, 0}, Qt::Vertical, blue, black).empty());
}

TEST(BackGround, StartsBlueToBlackDownwardsAtSpeedSevenHundred)
{
    QWidget form;
    TdxfBackGround background(&form);
    EXPECT_EQ(background.beginColor(), blue);
    EXPECT_EQ(background.endColor(), black);
    EXPECT_EQ(background.fillStyle(), TdxfBackGround::fsVert);
    EXPECT_EQ(background.speed(), 700);
    EXPECT_EQ(background.interval(), 301);
    EXPECT_EQ(background.parent(), &form);
}

TEST(BackGround, PaintsTheGradientBandsUnderTheForm)
{
    QWidget form;
    form.resize(50, 256);
    TdxfBackGround background(&form);

    const QImage image = snapshot(form);
    const auto runs = runsDown(image, 25);
    ASSERT_EQ(runs.size(), 128u);
    for (const auto& run : runs)
        EXPECT_EQ(run.first, 2);
    EXPECT_EQ(QColor(runs.front().second), blue);
    EXPECT_EQ(QColor(runs.back().second), QColor(0, 0, 1));
    EXPECT_EQ(image.pixel(0, 0), image.pixel(49, 0));
}

TEST(BackGround, HorizontalFillChangesFromLeftToRight)
{
    QWidget form;
    form.resize(300, 20);
    TdxfBackGround background(&form);
    background.setFillStyle(TdxfBackGround::fsHorz);
    background.setBeginColor(QColor(255, 0, 0));

    const QImage image = snapshot(form);
    EXPECT_EQ(QColor(image.pixel(0, 10)), QColor(255, 0, 0));
    EXPECT_EQ(image.pixel(0, 0), image.pixel(1, 19));
    EXPECT_NE(image.pixel(1, 0), image.pixel(2, 0));
    EXPECT_EQ(QColor(image.pixel(299, 0)), QColor(1, 0, 0)); // 255 - 255 * 298 / 300
}

TEST(BackGround, TheProgramsSettingsPaintTheClientAreaBlack)
{
    QWidget form;
    form.resize(271, 195);
    TdxfBackGround background(&form);
    background.setBeginColor(black);
    background.setEndColor(black);
    background.setFillStyle(TdxfBackGround::fsVert);
    background.setSpeed(700);

    const QImage image = snapshot(form);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(image.pixel(x, y), qRgb(0, 0, 0)) << x << ',' << y;
}

TEST(BackGround, ResizingRepaintsTheGradientForTheNewHeight)
{
    QWidget form;
    form.resize(40, 100);
    TdxfBackGround background(&form);
    EXPECT_EQ(runsDown(snapshot(form), 5).size(), 100u);

    form.resize(40, 300);
    const auto runs = runsDown(snapshot(form), 5);
    EXPECT_EQ(runs.size(), 150u);
    EXPECT_EQ(QColor(runs.back().second), QColor(0, 0, 1)); // 255 - 255 * 298 / 300
}

// A form with handlers of its own, which must still run.
class MarkedForm : public QWidget {
public:
    int resizes = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(0, 0, 4, 4, Qt::red);
    }
    void resizeEvent(QResizeEvent*) override { ++resizes; }
};

TEST(BackGround, TheFormsOwnHandlersRunAfterTheBackgroundAndChildrenPaintOnTop)
{
    MarkedForm form;
    form.resize(60, 60);
    TdxfBackGround background(&form);
    QWidget child(&form);
    child.setGeometry(30, 30, 10, 10);
    child.setAutoFillBackground(true);
    child.setPalette(QPalette(Qt::yellow));
    form.show(); // a hidden form gets its resize events only when shown

    const int before = form.resizes;
    form.resize(70, 70);
    EXPECT_EQ(form.resizes, before + 1);

    const QImage image = snapshot(form);
    EXPECT_EQ(QColor(image.pixel(1, 1)), QColor(Qt::red));
    EXPECT_EQ(QColor(image.pixel(35, 35)), QColor(Qt::yellow));
    EXPECT_EQ(QColor(image.pixel(10, 0)), blue);
}

TEST(BackGround, ASecondBackgroundFailsAndTheFirstKeepsPainting)
{
    QWidget form;
    form.resize(20, 128);
    TdxfBackGround first(&form);
    first.setBeginColor(QColor(0, 255, 0));

    CollectedErrors errors;
    TdxfBackGround* second = nullptr;
    tolvane::platform::dispatch([&] { second = new TdxfBackGround(&form); });
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(errors.texts,
              QStringList{QStringLiteral("Form should have only a single TdxfBackGround.")});
    EXPECT_EQ(form.findChildren<TdxfBackGround*>().size(), 1);

    const QImage image = snapshot(form);
    EXPECT_EQ(QColor(image.pixel(5, 0)), QColor(0, 255, 0));
    EXPECT_EQ(runsDown(image, 5).size(), 128u);
}

TEST(BackGround, TheErrorIsOfTheProgramsComponentKind)
{
    QWidget form;
    TdxfBackGround first(&form);
    try {
        TdxfBackGround second(&form);
        FAIL() << "a second background was accepted";
    } catch (const tolvane::EComponentError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("Form should have only a single TdxfBackGround"));
    }
}

TEST(BackGround, EachFormTakesItsOwnAndAFormMayTakeAnotherAfterTheFirstIsGone)
{
    QWidget one;
    QWidget two;
    one.resize(10, 10);
    auto first = std::make_unique<TdxfBackGround>(&one);
    TdxfBackGround other(&two);

    first.reset();
    EXPECT_NE(QColor(snapshot(one).pixel(0, 0)), blue);
    TdxfBackGround again(&one);
    EXPECT_EQ(QColor(snapshot(one).pixel(0, 0)), blue);
}

TEST(BackGround, DiesWithItsForm)
{
    auto form = std::make_unique<QWidget>();
    new TdxfBackGround(form.get());
    form.reset();
    QWidget next;
    EXPECT_NO_THROW(TdxfBackGround{&next});
}

QPixmap checker()
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(0, 1, qRgb(0, 0, 255));
    image.setPixel(1, 1, qRgb(255, 255, 255));
    return QPixmap::fromImage(image);
}

TEST(BackGround, APictureIsTiledFromTheTopLeftInsteadOfTheGradient)
{
    QWidget form;
    form.resize(7, 5);
    TdxfBackGround background(&form);
    background.setPicture(checker());

    const QImage image = snapshot(form);
    const QImage tile = checker().toImage();
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(image.pixel(x, y), tile.pixel(x % 2, y % 2)) << x << ',' << y;

    background.setPicture({});
    EXPECT_EQ(QColor(snapshot(form).pixel(0, 0)), blue);
}

TEST(BackGround, AnimationTilesTheCurrentImageOverTheFormsColourAndCycles)
{
    QWidget form;
    form.resize(8, 8);
    form.setPalette(QPalette(QColor(10, 20, 30)));
    TdxfBackGround background(&form);

    QImage red(4, 4, QImage::Format_ARGB32);
    red.fill(Qt::transparent);
    red.setPixel(0, 0, qRgb(255, 0, 0));
    QPixmap green(4, 4);
    green.fill(Qt::green);
    background.setImages({QPixmap::fromImage(red), green});
    background.setPicture(checker()); // images come first

    EXPECT_EQ(background.frameIndex(), 0);
    QImage image = snapshot(form);
    EXPECT_EQ(QColor(image.pixel(4, 4)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(image.pixel(1, 1)), QColor(10, 20, 30));

    background.animationTick();
    EXPECT_EQ(background.frameIndex(), 1);
    EXPECT_EQ(QColor(snapshot(form).pixel(4, 4)), QColor(Qt::green));

    background.animationTick();
    EXPECT_EQ(background.frameIndex(), 0);
}

TEST(BackGround, WithoutImagesTheTickDoesNothing)
{
    QWidget form;
    TdxfBackGround background(&form);
    background.animationTick();
    EXPECT_EQ(background.frameIndex(), 0);
}

TEST(BackGround, SpeedIsClampedAndSetsTheInterval)
{
    QWidget form;
    TdxfBackGround background(&form);
    background.setSpeed(0);
    EXPECT_EQ(background.speed(), 1);
    EXPECT_EQ(background.interval(), 1000);
    background.setSpeed(2000);
    EXPECT_EQ(background.speed(), 1000);
    EXPECT_EQ(background.interval(), 1);
    background.setSpeed(700);
    EXPECT_EQ(background.interval(), 301);
}

} // namespace
