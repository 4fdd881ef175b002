#include "widgets/LedSegments.h"

#include <gtest/gtest.h>

#include <string_view>

using namespace tolvane;

namespace {

struct SegmentCase {
    const char* name;
    LedGeometry geometry;
    int bit;
    QPolygon expected;
};

class SegmentPolygonTest : public testing::TestWithParam<SegmentCase> {};

TEST_P(SegmentPolygonTest, MatchesTheWorkedPoints)
{
    const SegmentCase& c = GetParam();
    const auto polygon = c.geometry.segmentPolygon(c.bit);
    ASSERT_TRUE(polygon.has_value());
    EXPECT_EQ(*polygon, c.expected);
}

constexpr LedGeometry large{4, 30, 25};
constexpr LedGeometry small{2, 4, 4};

INSTANTIATE_TEST_SUITE_P(
    Worked, SegmentPolygonTest,
    testing::Values(
        SegmentCase{"LargeTopBar", large, 0, {{8, 6}, {10, 4}, {40, 4}, {42, 6}, {40, 8}, {10, 8}}},
        SegmentCase{
            "LargeUpperLeftBar", large, 1, {{6, 8}, {8, 10}, {8, 35}, {6, 37}, {4, 35}, {4, 10}}},
        SegmentCase{"LargeUpperLeftDiagonal",
                    large,
                    9,
                    {{21, 33}, {19, 33}, {10, 14}, {10, 12}, {12, 12}, {21, 31}}},
        SegmentCase{"LargeCentreDot",
                    large,
                    13,
                    {{26, 36}, {26, 40}, {22, 40}, {22, 36}, {22, 36}, {22, 36}}},
        SegmentCase{"LargeBottomDot",
                    large,
                    15,
                    {{26, 69}, {26, 73}, {22, 73}, {22, 69}, {22, 69}, {22, 69}}},
        SegmentCase{
            "SmallCentreDot", small, 13, {{7, 9}, {7, 11}, {5, 11}, {5, 9}, {5, 9}, {5, 9}}},
        // T 3: D = round(4.5) = 4 and the diagonal's corner step round(1.5) = 2, halves to even.
        SegmentCase{"OddThicknessUpperRightDiagonal",
                    LedGeometry{3, 10, 8},
                    10,
                    {{15, 14}, {17, 14}, {17, 11}, {17, 9}, {15, 9}, {15, 12}}},
        // T 5: round(2.5) = 2.
        SegmentCase{"ThicknessFiveLowerLeftDiagonal",
                    LedGeometry{5, 20, 20},
                    11,
                    {{18, 45}, {16, 45}, {13, 58}, {13, 60}, {15, 60}, {18, 47}}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(LedGeometry, DiagonalsWithoutRunHaveNoShape)
{
    for (int bit = 9; bit <= 12; ++bit)
        EXPECT_FALSE(small.segmentPolygon(bit).has_value()) << bit;
    for (int bit = 0; bit < ledSegmentCount; ++bit)
        EXPECT_TRUE(large.segmentPolygon(bit).has_value()) << bit;
}

TEST(LedCharacterMask, LettersIgnoreCase)
{
    for (char32_t c = U'A'; c <= U'Z'; ++c)
        EXPECT_EQ(ledCharacterMask(c), ledCharacterMask(c + (U'a' - U'A'))) << char(c);
    EXPECT_EQ(ledCharacterMask(U'0'), 0x1277);
    EXPECT_EQ(ledCharacterMask(U':'), 0xA000);
    EXPECT_EQ(ledCharacterMask(U'k'), 0x141A);
}

TEST(LedCharacterMask, CharactersWithoutAPatternLightNothing)
{
    for (const char32_t c : std::u32string_view(U" !#$%&,;?@^`{|}~\u00e9\u20ac"))
        EXPECT_EQ(ledCharacterMask(c), 0) << unsigned(c);
}

} // namespace
