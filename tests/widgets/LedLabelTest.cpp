#include "widgets/LedLabel.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPaintEvent>
#include <QPalette>

#include <memory>
#include <ostream>
#include <vector>

using namespace tolvane;

// Found by argument-dependent lookup, so it lives beside QColor in the global namespace.
void PrintTo(const QColor& color, std::ostream* out)
{
    *out << color.name().toStdString();
}

namespace {

const QColor lime(0, 255, 0);
const QColor green(0, 128, 0);
const QColor black(0, 0, 0);

struct Size {
    int thickness;
    int horzSize;
    int vertSize;
};
constexpr Size large{4, 30, 25};
constexpr Size small{2, 4, 4};

// Configured in the order a form sets the properties: sizes, sizing, then the text.
std::unique_ptr<TLMDLEDLabel> makeLabel(Size size, const QString& text, bool autoSize = true,
                                        QWidget* parent = nullptr)
{
    auto label = std::make_unique<TLMDLEDLabel>(parent);
    label->setLedThickness(size.thickness);
    label->setLedHorzSize(size.horzSize);
    label->setLedVertSize(size.vertSize);
    label->setAutoSize(autoSize);
    label->setText(text);
    return label;
}

QImage render(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QColor at(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

int countPixels(const QImage& image, const QColor& color, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y) == color;
    }
    return count;
}

int countPixels(const QImage& image, const QColor& color)
{
    return countPixels(image, color, image.rect());
}

std::vector<int> litRows(const QImage& image, int x)
{
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        if (at(image, x, y) == lime)
            rows.push_back(y);
    }
    return rows;
}

std::vector<int> range(int first, int last)
{
    std::vector<int> values;
    for (int v = first; v <= last; ++v)
        values.push_back(v);
    return values;
}

TEST(LedLabelSize, LargeTimeSizesToTheCellsPlusOneAndGrowsToTheRight)
{
    auto label = makeLabel(large, QStringLiteral("0:00"));
    label->move(35, 8);
    EXPECT_EQ(label->size(), QSize(201, 78));
    label->setText(QStringLiteral("10:00"));
    EXPECT_EQ(label->geometry(), QRect(35, 8, 251, 78));
}

TEST(LedLabelSize, SmallLabelsMatchTheirFormBounds)
{
    EXPECT_EQ(makeLabel(small, QStringLiteral("0:00:00"))->size(), QSize(99, 22));
    EXPECT_EQ(makeLabel(small, QStringLiteral("000"))->size(), QSize(43, 22));
    EXPECT_EQ(makeLabel(small, QStringLiteral("00:00"))->size(), QSize(71, 22));
    EXPECT_EQ(makeLabel(small, QString())->size(), QSize(15, 22));
}

TEST(LedLabelSize, CarriageReturnStartsALineAndLineFeedTakesNoCell)
{
    EXPECT_EQ(makeLabel(large, QStringLiteral("0\r0"))->size(), QSize(51, 156));
    EXPECT_EQ(makeLabel(large, QStringLiteral("0\n0"))->size(), QSize(101, 78));

    auto label = makeLabel(large, QStringLiteral("0\r\n7"));
    const QImage image = render(*label);
    EXPECT_EQ(at(image, 25, 6), lime);      // top bar of the "0"
    EXPECT_EQ(at(image, 25, 78 + 6), lime); // top bar of the "7" on the second line
    EXPECT_NE(at(image, 6, 78 + 20), lime); // its upper left bar stays dark
}

TEST(LedLabelSize, NewLabelIsThirtyPixelsSquare)
{
    TLMDLEDLabel label;
    EXPECT_EQ(label.size(), QSize(30, 30));
    EXPECT_EQ(label.ledHorzSize(), 9);
    EXPECT_EQ(label.ledVertSize(), 7);
    EXPECT_EQ(label.ledThickness(), 2);
    EXPECT_EQ(label.color(), black);
    EXPECT_EQ(label.activeColor(), lime);
    EXPECT_EQ(label.inActiveColor(), green);
    EXPECT_TRUE(label.disabledDigits());
    EXPECT_EQ(label.digits(), 2);
}

TEST(LedLabelPaint, TopBarOfTheFirstDigitIsLitUpToItsOutline)
{
    const QImage image = render(*makeLabel(large, QStringLiteral("0:00")));
    EXPECT_EQ(at(image, 25, 6), lime);
    for (const QPoint corner :
         {QPoint(8, 6), QPoint(10, 4), QPoint(40, 4), QPoint(42, 6), QPoint(40, 8), QPoint(10, 8)})
        EXPECT_EQ(image.pixelColor(corner), lime) << corner.x() << ',' << corner.y();
    EXPECT_EQ(at(image, 7, 6), black);
    EXPECT_EQ(at(image, 43, 6), black);
    EXPECT_EQ(at(image, 30, 3), black);
}

TEST(LedLabelPaint, UpperLeftDiagonalFollowsTheWorkedPoints)
{
    const QImage image = render(*makeLabel(large, QStringLiteral("0:00")));
    for (const QPoint corner : {QPoint(21, 33), QPoint(19, 33), QPoint(10, 14), QPoint(10, 12),
                                QPoint(12, 12), QPoint(21, 31)})
        EXPECT_EQ(image.pixelColor(corner), lime) << corner.x() << ',' << corner.y();
    EXPECT_EQ(at(image, 15, 22), lime); // halfway along
    EXPECT_EQ(at(image, 11, 25), black);
    EXPECT_EQ(at(image, 19, 20), black);
}

TEST(LedLabelPaint, ColonLightsTheDotsAtTheMiddleAndBottomBars)
{
    const QImage image = render(*makeLabel(large, QStringLiteral("8:")));
    std::vector<int> dots = range(36, 40);
    const std::vector<int> bottom = range(69, 73);
    dots.insert(dots.end(), bottom.begin(), bottom.end());
    EXPECT_EQ(litRows(image, 50 + 24), dots);
    // The "8" beside it lights its middle and bottom bars on rows 37..41 and 70..74.
    std::vector<int> bars = range(4, 8);
    for (const int first : {37, 70}) {
        const std::vector<int> bar = range(first, first + 4);
        bars.insert(bars.end(), bar.begin(), bar.end());
    }
    EXPECT_EQ(litRows(image, 20), bars);
}

TEST(LedLabelPaint, UnlitSegmentIsACheckerboardAlignedToItsCell)
{
    const QImage image = render(*makeLabel(large, QStringLiteral("0:00")));
    // The middle bar of the first "0" is unlit.
    EXPECT_EQ(at(image, 21, 39), green);
    EXPECT_EQ(at(image, 20, 39), black);
    EXPECT_EQ(at(image, 21, 40), black);

    // With an odd cell width the pattern restarts in the second cell.
    const QImage odd = render(*makeLabel({2, 5, 4}, QStringLiteral("  ")));
    EXPECT_EQ(at(odd, 5, 11), green);
    EXPECT_EQ(at(odd, 6, 11), black);
    EXPECT_EQ(at(odd, 15 + 5, 11), green);
    EXPECT_EQ(at(odd, 15 + 6, 11), black);
}

TEST(LedLabelPaint, SmallZeroHasNoDiagonalAndItsColonDotIsTheWorkedRectangle)
{
    const QImage zero = render(*makeLabel(small, QStringLiteral("0")));
    EXPECT_EQ(countPixels(zero, lime, QRect(QPoint(5, 5), QPoint(9, 17))), 0);
    EXPECT_GT(countPixels(zero, lime), 0);

    const QImage colon = render(*makeLabel(small, QStringLiteral(":")));
    const QRect dot(QPoint(5, 9), QPoint(7, 11));
    EXPECT_EQ(countPixels(colon, lime, dot), 9);
    EXPECT_EQ(countPixels(colon, lime, dot.adjusted(-1, -1, 1, 1)), 9);
}

TEST(LedLabelPaint, TextLongerThanAFixedLabelIsCutOffAtTheRightEdge)
{
    auto label = makeLabel(small, QStringLiteral("0:00:00"), false);
    label->setGeometry(8, 112, 99, 22);
    const QImage seven = render(*label);
    EXPECT_GT(countPixels(seven, lime, QRect(6 * 14, 0, 14, 22)), 0); // the seventh cell
    EXPECT_EQ(countPixels(seven, black, QRect(98, 0, 1, 22)), 22);

    label->setText(QStringLiteral("0:00:008"));
    EXPECT_EQ(label->size(), QSize(99, 22));
    EXPECT_EQ(label->text(), QStringLiteral("0:00:008"));
    EXPECT_EQ(render(*label), seven);
}

TEST(LedLabelPaint, SmallSegmentLengthsLightOnlyTheOuterBars)
{
    auto label = makeLabel({4, 3, 25}, QStringLiteral("1"));
    const QImage one = render(*label);
    EXPECT_EQ(countPixels(one, lime), 0);
    EXPECT_EQ(at(one, 11, 21), green); // the unlit upper centre bar is still there
    label->setText(QStringLiteral("7"));
    EXPECT_GT(countPixels(render(*label), lime), 0);
}

TEST(LedLabelPaint, DisabledLabelShowsGhostsOnlyUnlessDigitsStayOn)
{
    auto label = makeLabel(small, QStringLiteral("0:00"));
    label->setEnabled(false);
    QImage image = render(*label);
    EXPECT_EQ(countPixels(image, lime), 0);
    EXPECT_GT(countPixels(image, green), 0);

    label->setDisabledDigits(false);
    EXPECT_GT(countPixels(render(*label), lime), 0);
}

TEST(LedLabelPaint, IntegerStylePadsWithZerosAndShowsMinusSignsWhenTooLong)
{
    auto label = makeLabel(small, QString());
    label->setLabelStyle(TLMDLEDLabel::lsInteger);
    label->setDigits(3);
    label->setValue(7);
    EXPECT_EQ(label->displayedText(), QStringLiteral("007"));
    EXPECT_EQ(render(*label), render(*makeLabel(small, QStringLiteral("007"))));

    label->setValue(1234);
    EXPECT_EQ(label->displayedText(), QStringLiteral("---"));
    EXPECT_EQ(render(*label), render(*makeLabel(small, QStringLiteral("---"))));

    label->setValue(-5);
    EXPECT_EQ(label->displayedText(), QStringLiteral("-05"));
    label->setDigits(0);
    EXPECT_EQ(label->digits(), 3);
    label->setLabelStyle(TLMDLEDLabel::lsString);
    EXPECT_EQ(label->displayedText(), QString());
}

TEST(LedLabelPaint, TransparentLabelLetsItsParentShowThroughTheKeyColour)
{
    QWidget parent;
    parent.resize(60, 80);
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, Qt::red);
    parent.setPalette(palette);
    auto label = makeLabel(large, QStringLiteral("0"), true, &parent);
    label->setTransparent(true);

    const QImage image = render(parent);
    EXPECT_EQ(at(image, 0, 0), QColor(Qt::red));
    EXPECT_EQ(at(image, 20, 39), QColor(Qt::red)); // the background half of the checkerboard
    EXPECT_EQ(at(image, 21, 39), green);
    EXPECT_EQ(at(image, 25, 6), lime);
    EXPECT_EQ(at(image, 55, 70), QColor(Qt::red)); // the parent beyond the label
}

TEST(LedLabelPaint, ColourChangesRebuildTheCells)
{
    auto label = makeLabel(large, QStringLiteral("0"));
    // Drawn once in the first colours, so that cells drawn then are at hand.
    EXPECT_NE(at(render(*label), 25, 6), QColor(Qt::yellow));
    label->setColor(Qt::blue);
    label->setActiveColor(Qt::yellow);
    label->setInActiveColor(Qt::darkYellow);
    const QImage image = render(*label);
    EXPECT_EQ(at(image, 0, 0), QColor(Qt::blue));
    EXPECT_EQ(at(image, 20, 39), QColor(Qt::blue));
    EXPECT_EQ(at(image, 21, 39), QColor(Qt::darkYellow));
    EXPECT_EQ(at(image, 25, 6), QColor(Qt::yellow));
}

TEST(LedLabelPaint, BevelBorderSurroundsTheCells)
{
    auto label = makeLabel(small, QStringLiteral("0"));
    EXPECT_EQ(label->bevel()->extent(), 0);
    label->setBevelBorderColor(Qt::gray);
    label->setBevelBorderWidth(2);
    EXPECT_EQ(label->size(), QSize(14 + 1 + 4, 22 + 4));
    const QImage image = render(*label);
    EXPECT_EQ(at(image, 0, 0), QColor(Qt::gray));
    EXPECT_EQ(at(image, 18, 25), QColor(Qt::gray));
    EXPECT_EQ(at(image, 2 + 7, 2 + 3), lime); // the top bar, shifted inside the border
}

TEST(LedLabelPaint, FixedBevelModesTakeTheirEdgeWidths)
{
    auto label = makeLabel(small, QStringLiteral("0"));
    label->setBevelShadowColor(Qt::darkGray);
    label->setBevelLightColor(Qt::white);
    label->setBevelMode(TLMDBevel::bmStandard);
    EXPECT_EQ(label->size(), QSize(17, 24)); // lsSingleLowered: one pixel
    QImage image = render(*label);
    EXPECT_EQ(at(image, 0, 0), QColor(Qt::darkGray));
    EXPECT_EQ(at(image, 16, 23), QColor(Qt::white));

    label->setBevelMode(TLMDBevel::bmEdge);
    EXPECT_EQ(label->size(), QSize(19, 26)); // etEtched: shadow, then light
    image = render(*label);
    EXPECT_EQ(at(image, 0, 0), QColor(Qt::darkGray));
    EXPECT_EQ(at(image, 1, 1), QColor(Qt::white));

    label->setBevelBorderSides(Qt::TopEdge);
    EXPECT_EQ(label->size(), QSize(15, 24));
}

TEST(LedLabelPaint, AssignedLedCopiesSizesAndColours)
{
    auto source = makeLabel(large, QStringLiteral("0"));
    source->setActiveColor(Qt::red);
    auto label = makeLabel(small, QStringLiteral("0"));
    label->setLed(*source->led());
    EXPECT_EQ(label->size(), QSize(51, 78));
    EXPECT_EQ(at(render(*label), 25, 6), QColor(Qt::red));
}

TEST(LedLabelPaint, BlinkingHidesTheDigitsOnEveryOtherPaint)
{
    auto label = makeLabel(small, QStringLiteral("8"));
    label->led()->startBlink();
    EXPECT_GT(countPixels(render(*label), lime), 0);
    EXPECT_EQ(countPixels(render(*label), lime), 0);
    EXPECT_GT(countPixels(render(*label), lime), 0);
    EXPECT_EQ(countPixels(render(*label), lime), 0);
    label->led()->stopBlink();
    EXPECT_GT(countPixels(render(*label), lime), 0);
    EXPECT_GT(countPixels(render(*label), lime), 0);
}

TEST(LedLabelPattern, OneCheckerboardIsSharedUntilTheColoursChange)
{
    const qint64 key = TLMDLED::unlitPattern(green, black).cacheKey();
    const QImage& pattern = TLMDLED::unlitPattern(green, black);
    EXPECT_EQ(pattern.cacheKey(), key);
    EXPECT_EQ(pattern.size(), QSize(8, 8));
    EXPECT_EQ(pattern.pixelColor(0, 0), green);
    EXPECT_EQ(pattern.pixelColor(1, 0), black);
    EXPECT_EQ(pattern.pixelColor(7, 7), green);
    EXPECT_EQ(TLMDLED::unlitPattern(lime, black).pixelColor(2, 4), lime);
}

class PaintCounter : public QObject {
public:
    int paints = 0;
    QRect painted;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            painted = static_cast<QPaintEvent*>(event)->rect();
        }
        return false;
    }
};

TEST(LedLabelText, ChangedTextRepaintsAtOnceAndSameTextDoesNot)
{
    auto label = makeLabel(small, QStringLiteral("0:00:00"));
    label->show();
    QCoreApplication::processEvents();
    PaintCounter counter;
    label->installEventFilter(&counter);

    label->setText(QStringLiteral("0:00:01"));
    EXPECT_EQ(counter.paints, 1);
    EXPECT_EQ(label->text(), QStringLiteral("0:00:01"));
    label->setText(QStringLiteral("0:00:01"));
    EXPECT_EQ(counter.paints, 1);

    // A turn of the clock sends only the cells it changes to the screen (cells of 14 × 22 here,
    // the fourth to the last), a longer text the whole label.
    label->setText(QStringLiteral("0:01:10"));
    EXPECT_EQ(counter.painted, QRect(3 * 14, 0, 4 * 14, 22));
    label->setText(QStringLiteral("10:01:10"));
    EXPECT_EQ(counter.painted, label->rect());
}

TEST(LedLabelText, TextIsReadBackUnchanged)
{
    const QString text = QStringLiteral("1:2\r\n\tab\u00e9");
    EXPECT_EQ(makeLabel(small, text)->text(), text);
}

void expectMatchesGolden(const QImage& image, const QString& name)
{
    const QString path = QStringLiteral(LED_GOLDEN_DIR "/") + name + u".png";
    const QImage golden = QImage(path).convertToFormat(QImage::Format_RGB32);
    if (golden != image) {
        // Left next to the test binary for review.
        image.save(QDir::current().filePath(name + u".actual.png"));
        ADD_FAILURE() << "differs from " << path.toStdString();
    }
}

TEST(LedLabelGolden, LargePhaseTime)
{
    expectMatchesGolden(render(*makeLabel(large, QStringLiteral("0:00"))), u"led-large-0_00"_qs);
}

TEST(LedLabelGolden, SmallTotalTime)
{
    expectMatchesGolden(render(*makeLabel(small, QStringLiteral("0:00:00"))),
                        u"led-small-0_00_00"_qs);
}

} // namespace
