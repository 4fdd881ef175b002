#include "tests/support/QtPrinting.h"
#include "widgets/FaceFit.h"
#include "widgets/FaceTable.h"

#include <gtest/gtest.h>

namespace {

using tolvane::FaceFit;
using tolvane::FaceTable;

TEST(FaceFit, EveryStyleInItsArea)
{
    struct Case {
        const char* name;
        FaceFit::Style style;
        QSize face;
        QSize area;
        QRect expected;
    };
    const Case cases[] = {
        {"program's faces", FaceFit::sbKeepAspRatio, {37, 37}, {25, 25}, {0, 0, 25, 25}},
        {"none", FaceFit::sbNone, {37, 37}, {25, 25}, {0, 0, 37, 37}},
        {"autosize draws unscaled", FaceFit::sbAutosize, {10, 8}, {25, 25}, {0, 0, 10, 8}},
        {"centre", FaceFit::sbCenter, {10, 7}, {25, 25}, {7, 9, 10, 7}},
        {"centre of a larger face", FaceFit::sbCenter, {37, 30}, {25, 25}, {-6, -2, 37, 30}},
        {"stretch", FaceFit::sbStretch, {37, 20}, {25, 30}, {0, 0, 25, 30}},
        {"tile covers the area", FaceFit::sbTile, {10, 10}, {25, 30}, {0, 0, 25, 30}},
        {"aspect, width limits", FaceFit::sbKeepAspRatio, {40, 20}, {25, 25}, {0, 0, 25, 12}},
        {"aspect, height limits", FaceFit::sbKeepAspRatio, {20, 40}, {25, 25}, {0, 0, 12, 25}},
        {"aspect, enlarged", FaceFit::sbKeepAspRatio, {10, 5}, {25, 25}, {0, 0, 25, 12}},
        // Floating point would give 12 for 11 * (13 / 11).
        {"aspect, exact", FaceFit::sbKeepAspRatio, {11, 11}, {13, 13}, {0, 0, 13, 13}},
        {"keep width", FaceFit::sbKeepWidth, {20, 10}, {25, 25}, {0, 0, 50, 25}},
        {"keep width rounds half to even", FaceFit::sbKeepWidth, {5, 2}, {25, 5}, {0, 0, 12, 5}},
        {"keep width rounds half up to even", FaceFit::sbKeepWidth, {7, 2}, {25, 5}, {0, 0, 18, 5}},
        {"keep height", FaceFit::sbKeepHeight, {20, 10}, {25, 25}, {0, 0, 25, 12}},
        {"keep height rounds", FaceFit::sbKeepHeight, {20, 11}, {25, 25}, {0, 0, 25, 14}},
        {"empty face", FaceFit::sbKeepAspRatio, {0, 0}, {25, 25}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FaceFit::faceRect(c.style, c.face, c.area), c.expected) << c.name;
}

QByteArray programTable()
{
    QByteArray bytes(64, '\0');
    bytes[44] = 1;
    return bytes;
}

TEST(FaceTable, ProgramTableHasTheHeldFaceAtByte44)
{
    FaceTable table;
    table[FaceTable::stateCount - 4].imageIndex = 1;
    EXPECT_EQ(table.write(), programTable());

    const std::optional<FaceTable> read = FaceTable::read(programTable());
    ASSERT_TRUE(read);
    for (int state = 0; state < FaceTable::stateCount; ++state) {
        EXPECT_EQ((*read)[state].imageIndex, state == 4 ? 1 : 0) << state;
        EXPECT_EQ((*read)[state].listIndex, 0) << state;
    }
}

TEST(FaceTable, ListIndicesAscendingThenImageIndicesDescending)
{
    FaceTable table;
    for (int state = 0; state < FaceTable::stateCount; ++state)
        table[state] = {100 + state, -1 - state};
    const QByteArray bytes = table.write();
    ASSERT_EQ(bytes.size(), 64);
    EXPECT_EQ(bytes.left(8), QByteArray("\xff\xff\xff\xff\xfe\xff\xff\xff", 8));
    EXPECT_EQ(bytes.mid(32, 4), QByteArray("\x6b\x00\x00\x00", 4)); // state 7's image
    EXPECT_EQ(bytes.mid(60, 4), QByteArray("\x64\x00\x00\x00", 4)); // state 0's image
    EXPECT_EQ(FaceTable::read(bytes), table);
}

TEST(FaceTable, WrongSizeIsRefused)
{
    EXPECT_FALSE(FaceTable::read(QByteArray(56, '\0')));
    EXPECT_FALSE(FaceTable::read(QByteArray(65, '\0')));
}

TEST(ColourValue, TealIsStoredRedFirst)
{
    EXPECT_EQ(tolvane::writeColourValue(QColor(0, 128, 128)), QByteArray("\x00\x80\x80\x00", 4));
    EXPECT_EQ(tolvane::readColourValue(QByteArray("\x00\x80\x80\x00", 4)), QColor(0, 128, 128));
    EXPECT_EQ(tolvane::readColourValue(QByteArray("\x01\x02\x03\x00", 4)), QColor(1, 2, 3));
}

TEST(ColourValue, SystemColoursAndWrongSizesAreRefused)
{
    EXPECT_FALSE(tolvane::readColourValue(QByteArray("\x0f\x00\x00\xff", 4)));
    EXPECT_FALSE(tolvane::readColourValue(QByteArray("\x00\x80\x80", 3)));
}

} // namespace
