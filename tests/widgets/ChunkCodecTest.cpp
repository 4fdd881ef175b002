#include "widgets/ChunkCodec.h"
#include "tests/support/QtPrinting.h"
#include "widgets/StoredForm.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

using tolvane::EReadError;
namespace chunk = tolvane::chunk;

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int value : values)
        out.append(char(value));
    return out;
}

// The message of the EReadError that expanding the chunk raises; empty when it expands.
QString expandError(const QByteArray& data)
{
    try {
        chunk::expand(data);
    } catch (const EReadError& error) {
        return error.message();
    }
    return {};
}

TEST(ChunkExpand, LiteralsOnly)
{
    EXPECT_EQ(chunk::expand(bytes({0x40, 0x00, 0x00, 'B', 'M', '6'})), QByteArray("BM6"));
}

TEST(ChunkExpand, ControlWordEverySixteenItems)
{
    QByteArray data = bytes({0x40, 0x00, 0x00});
    data += QByteArray("abcdefghijklmnop");
    data += bytes({0x00, 0x00, 'q'});
    EXPECT_EQ(chunk::expand(data), QByteArray("abcdefghijklmnopq"));
}

TEST(ChunkExpand, ControlBitsRunFromTheMostSignificant)
{
    // Items: literal, literal, reference 2 back of 3, literal; the low control byte is unused.
    const QByteArray data = bytes({0x40, 0x20, 0x00, 'x', 'y', 0x00, 0x20, 'z'});
    EXPECT_EQ(chunk::expand(data), QByteArray("xyxyxz"));
}

TEST(ChunkExpand, BackReferencesThatOverlapThemselves)
{
    // "ab", then 8 bytes from 2 back: the copy reads the bytes it is writing.
    EXPECT_EQ(chunk::expand(bytes({0x40, 0x20, 0x00, 'a', 'b', 0x00, 0x25})),
              QByteArray("ababababab"));
    // One byte repeated by a reference one back, at the longest reference of 18.
    EXPECT_EQ(chunk::expand(bytes({0x40, 0x40, 0x00, 'x', 0x00, 0x1f})), QByteArray(19, 'x'));
}

TEST(ChunkExpand, FarReferenceUsesBothBytesForTheDistance)
{
    // Distance 0x123 = 291: b0 = 0x12, b1 high nibble 3; length (b1 & 15) + 3 = 4.
    QByteArray data = bytes({0x40, 0x00, 0x00});
    QByteArray expected;
    for (int group = 0; group < 19; ++group) {
        QByteArray literals;
        for (int i = 0; i < 16; ++i)
            literals.append(char(group * 16 + i));
        data += literals;
        expected += literals;
        data += bytes({group == 18 ? 0x80 : 0x00, 0x00});
    }
    data += bytes({0x12, 0x31});
    expected += expected.mid(expected.size() - 0x123, 4);
    EXPECT_EQ(chunk::expand(data), expected);
}

TEST(ChunkExpand, LongRunItem)
{
    // Distance 0: b1 * 256 + b2 + 16 copies of b3.
    EXPECT_EQ(chunk::expand(bytes({0x40, 0x80, 0x00, 0x00, 0x01, 0x02, 'z'})),
              QByteArray(256 + 2 + 16, 'z'));
    EXPECT_EQ(chunk::expand(bytes({0x40, 0x40, 0x00, 'a', 0x00, 0x00, 0x00, 'b'})),
              QByteArray("a") + QByteArray(16, 'b'));
}

TEST(ChunkExpand, StoredChunkIsTakenAsItIs)
{
    EXPECT_EQ(chunk::expand(bytes({0x80, 0x40, 0x00, 0xff})), bytes({0x40, 0x00, 0xff}));
    const QByteArray full(chunk::maxExpandedSize, 'q');
    EXPECT_EQ(chunk::expand(QByteArray(QByteArray(1, chunk::stored) + full)), full);
}

TEST(ChunkExpand, EmptyCompressedChunkAndEmptyLastGroup)
{
    EXPECT_EQ(chunk::expand(bytes({0x40})), QByteArray());
    EXPECT_EQ(chunk::expand(bytes({0x40, 0xff, 0xff})), QByteArray());
}

TEST(ChunkExpand, RejectsAReferenceBeforeTheStart)
{
    EXPECT_TRUE(expandError(bytes({0x40, 0x80, 0x00, 0x00, 0x10})).contains(u"1 bytes back"));
    EXPECT_TRUE(expandError(bytes({0x40, 0x20, 0x00, 'a', 'b', 0x00, 0x30}))
                    .contains(u"3 bytes back with only 2"));
}

TEST(ChunkExpand, RejectsExpansionBeyondTheLimit)
{
    const QString stored =
        expandError(QByteArray(1, char(0x80)) + QByteArray(chunk::maxExpandedSize + 1, 'q'));
    EXPECT_TRUE(stored.contains(u"more than 32781 bytes")) << stored.toStdString();

    // Eight runs of 4111 bytes are 32888 bytes.
    QByteArray runs = bytes({0x40, 0xff, 0x00});
    for (int i = 0; i < 8; ++i)
        runs += bytes({0x00, 0x0f, 0xff, 'r'});
    EXPECT_TRUE(expandError(runs).contains(u"more than 32781 bytes"));

    // Runs up to 32771 bytes, then a reference of 10 reaches the limit and one of 11 crosses it.
    const auto upToLimitPlus = [](int referenceLength) {
        QByteArray data = bytes({0x40, 0xff, 0x80});
        for (int i = 0; i < 7; ++i)
            data += bytes({0x00, 0x0f, 0xff, 'r'}); // 4111 bytes each
        data += bytes({0x00, 0x0f, 0x8a, 'r'});     // 3994 bytes
        data += bytes({0x00, 0x10 | (referenceLength - 3)});
        return data;
    };
    EXPECT_EQ(chunk::expand(upToLimitPlus(10)).size(), chunk::maxExpandedSize);
    EXPECT_TRUE(expandError(upToLimitPlus(11)).contains(u"more than 32781 bytes"));
}

TEST(ChunkExpand, RejectsTruncatedItems)
{
    EXPECT_TRUE(expandError(bytes({0x40, 0x00})).contains(u"control word"));
    EXPECT_TRUE(expandError(bytes({0x40, 0x80, 0x00, 0x00})).contains(u"back reference"));
    EXPECT_TRUE(expandError(bytes({0x40, 0x80, 0x00, 0x00, 0x01, 0x02})).contains(u"run"));
    EXPECT_TRUE(expandError(bytes({0x40, 0x40, 0x00, 'a', 0x00})).contains(u"back reference"));
}

TEST(ChunkExpand, RejectsAnUnknownMethodAndAnEmptyChunk)
{
    EXPECT_TRUE(expandError(bytes({0x00, 'a'})).contains(u"unknown method 0x00"));
    EXPECT_TRUE(expandError(bytes({0xc0, 'a'})).contains(u"unknown method 0xc0"));
    EXPECT_TRUE(expandError(QByteArray()).contains(u"method"));
}

TEST(ChunkCompress, RoundTripsEveryKindOfContent)
{
    QByteArray noise(chunk::blockSize, '\0');
    QRandomGenerator random(8);
    for (char& byte : noise)
        byte = char(random.bounded(256));
    QByteArray pattern;
    while (pattern.size() < chunk::blockSize)
        pattern += QByteArray("0123456789abcdefghij").left(pattern.size() % 19 + 1);
    pattern.truncate(chunk::blockSize);

    const QList<QByteArray> blocks{
        QByteArray(),
        QByteArray("a"),
        QByteArray(chunk::blockSize, '\x7f'),
        QByteArray(5000, 'a') + QByteArray("tail") + QByteArray(70, 'b'),
        pattern,
        noise,
    };
    for (const QByteArray& block : blocks)
        EXPECT_EQ(chunk::expand(chunk::compress(block)), block) << block.size() << " bytes";
}

TEST(ChunkCompress, ShrinksRepetitionAndStoresNoise)
{
    const QByteArray packed = chunk::compress(QByteArray(chunk::blockSize, '\0'));
    EXPECT_EQ(packed.at(0), chunk::compressed);
    EXPECT_LT(packed.size(), 100);

    QByteArray noise(1000, '\0');
    QRandomGenerator random(3);
    for (char& byte : noise)
        byte = char(random.bounded(256));
    const QByteArray stored = chunk::compress(noise);
    EXPECT_EQ(stored.at(0), chunk::stored);
    EXPECT_EQ(stored.mid(1), noise);
}

} // namespace
