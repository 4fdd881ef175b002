#include "widgets/BitmapList.h"
#include "tests/support/QtPrinting.h"
#include "widgets/ChunkCodec.h"
#include "widgets/StoredForm.h"
#include "widgets/StoredItem.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

using tolvane::ByteReader;
using tolvane::EReadError;
using tolvane::TLMDBitmapList;
using tolvane::TLMDBitmapListItem;

const QColor teal(0, 128, 128);

QByteArray facesFile(const char* name)
{
    QFile file(QStringLiteral(TOLVANE_FACES_DIR "/") + QLatin1StringView(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

QByteArray le32(quint32 value)
{
    QByteArray out;
    tolvane::appendU32(out, value);
    return out;
}

QByteArray bmpOf(const QImage& image)
{
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bmp;
}

// A small BMP file with a recognisable picture.
QByteArray smallBmp()
{
    QImage image(5, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    image.setPixelColor(4, 0, Qt::blue);
    return bmpOf(image);
}

QString readError(const QByteArray& data)
{
    try {
        ByteReader in(data);
        tolvane::readStoredItem(in);
    } catch (const EReadError& error) {
        return error.message();
    }
    return {};
}

double meanBrightness(const QImage& image)
{
    double sum = 0;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QColor c = image.pixelColor(x, y); c != teal) {
                sum += c.lightnessF();
                ++count;
            }
    return sum / count;
}

double brightest(const QImage& image)
{
    double best = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            best = std::max(best, double(image.pixelColor(x, y).lightnessF()));
    return best;
}

TEST(ButtonFaces, ResourceHoldsBothFacesCompressedAndUnchanged)
{
    TLMDBitmapList list;
    list.loadFromFile(QStringLiteral(":/faces/LMDBitmapList1.bin"));
    ASSERT_EQ(list.count(), 2);
    const char* names[] = {"up.bmp", "held.bmp"};
    for (int i = 0; i < 2; ++i) {
        const TLMDBitmapListItem& item = list.item(i);
        EXPECT_TRUE(item.compressed);
        EXPECT_EQ(item.pixelFormat, TLMDBitmapListItem::spf8bit);
        EXPECT_EQ(item.bitmapFile(), facesFile(names[i]));
        EXPECT_EQ(item.bitmapFile().size(), 2558);
        EXPECT_EQ(item.bitmap().size(), QSize(37, 37));
        EXPECT_EQ(item.bitmap().format(), QImage::Format_Indexed8);
        EXPECT_EQ(list.palette(i).size(), 256);
    }
    // The stored form starts with the flags of a compressed 8-bit bitmap.
    QFile file(QStringLiteral(":/faces/LMDBitmapList1.bin"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(quint8(file.read(1).at(0)), 0x49);
}

TEST(ButtonFaces, RingOnTealWithTheHeldFaceDarker)
{
    TLMDBitmapList list;
    list.loadFromFile(QStringLiteral(":/faces/LMDBitmapList1.bin"));
    for (int i = 0; i < 2; ++i) {
        const QImage face = list.item(i).bitmap();
        EXPECT_EQ(list.keyColor(i), teal);
        for (QPoint corner : {QPoint(0, 0), QPoint(36, 0), QPoint(0, 36), QPoint(36, 36)})
            EXPECT_EQ(face.pixelColor(corner), teal);
        EXPECT_EQ(face.pixelColor(18, 18), QColor(Qt::black));
        // The ring reaches every edge and holds no key colour.
        for (QPoint ring : {QPoint(18, 0), QPoint(0, 18), QPoint(36, 18), QPoint(18, 36),
                            QPoint(18, 3), QPoint(5, 8), QPoint(30, 30)})
            EXPECT_NE(face.pixelColor(ring), teal) << i << ' ' << ring.x() << ',' << ring.y();
    }
    const QImage up = list.item(0).bitmap();
    const QImage held = list.item(1).bitmap();
    EXPECT_LT(meanBrightness(held), meanBrightness(up) * 0.75);
    EXPECT_GT(brightest(up), 0.85);
    EXPECT_LT(brightest(held), 0.6);
}

TEST(StoredItem, WritesFlagsDescriptionAndIdentifierInOrder)
{
    TLMDBitmapListItem item;
    item.description = QStringLiteral("ab");
    item.ident = 0x01020304;
    item.pixelFormat = TLMDBitmapListItem::spfMono;
    const QByteArray expected("\x16\x02"
                              "ab"
                              "\x04\x03\x02\x01",
                              8);
    EXPECT_EQ(tolvane::writeStoredItem(item), expected);

    ByteReader in(expected);
    const TLMDBitmapListItem read = tolvane::readStoredItem(in);
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(read.description, QStringLiteral("ab"));
    EXPECT_EQ(read.ident, 0x01020304);
    EXPECT_EQ(read.pixelFormat, TLMDBitmapListItem::spfMono);
    EXPECT_TRUE(read.bitmap().isNull());
}

TEST(StoredItem, PlainBitmapIsALengthAndTheFile)
{
    TLMDBitmapListItem item;
    ASSERT_TRUE(item.setBitmapFile(smallBmp()));
    item.pixelFormat = TLMDBitmapListItem::spf4bit;
    const QByteArray stored = tolvane::writeStoredItem(item);
    EXPECT_EQ(stored, QByteArray(1, char(0x28)) + le32(quint32(smallBmp().size())) + smallBmp());

    ByteReader in(stored);
    const TLMDBitmapListItem read = tolvane::readStoredItem(in);
    EXPECT_FALSE(read.compressed);
    EXPECT_EQ(read.pixelFormat, TLMDBitmapListItem::spf4bit);
    EXPECT_EQ(read.bitmap().pixelColor(4, 0), QColor(Qt::blue));
    EXPECT_EQ(read.bitmapFile(), smallBmp());
}

TEST(StoredItem, CompressedBitmapFromSeveralChunks)
{
    // A stored chunk and a compressed one, joined into one BMP file.
    const QByteArray bmp = smallBmp();
    const QByteArray first = QByteArray(1, tolvane::chunk::stored) + bmp.left(20);
    const QByteArray second = tolvane::chunk::compress(bmp.mid(20));
    const QByteArray chunks =
        le32(quint32(first.size())) + first + le32(quint32(second.size())) + second;
    const QByteArray stored = QByteArray(1, char(0x09)) + le32(quint32(chunks.size())) + chunks;
    ByteReader in(stored);
    const TLMDBitmapListItem item = tolvane::readStoredItem(in);
    EXPECT_TRUE(item.compressed);
    EXPECT_EQ(item.bitmapFile(), bmp);
    EXPECT_EQ(item.bitmap().pixelColor(0, 0), QColor(Qt::red));
}

TEST(StoredItem, LargeBitmapIsWrittenInBlocksAndReadBack)
{
    QImage image(200, 200, QImage::Format_RGB888);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            image.setPixelColor(x, y, QColor(x, y, (x * y) % 256));
    TLMDBitmapListItem item;
    item.setBitmap(image);
    item.compressed = true;
    const QByteArray stored = tolvane::writeStoredItem(item);

    // 120054 bytes of BMP make four chunks.
    ByteReader frame(stored);
    frame.u8("flags");
    ByteReader chunks(frame.bytes(frame.u32("total"), "chunks"));
    EXPECT_TRUE(frame.atEnd());
    int count = 0;
    while (!chunks.atEnd()) {
        const QByteArrayView data = chunks.bytes(chunks.u32("length"), "chunk");
        EXPECT_LE(tolvane::chunk::expand(data).size(), tolvane::chunk::blockSize);
        ++count;
    }
    EXPECT_EQ(count, 4);

    ByteReader in(stored);
    EXPECT_EQ(tolvane::readStoredItem(in).bitmap().convertToFormat(QImage::Format_RGB888), image);
}

TEST(StoredItem, RejectsMalformedData)
{
    const QByteArray bmp = smallBmp();
    const QByteArray chunk = QByteArray(1, tolvane::chunk::stored) + bmp;
    struct Case {
        const char* name;
        QByteArray data;
        const char16_t* message;
    };
    const Case cases[] = {
        {"no flags", QByteArray(), u"flags"},
        {"unknown flag", QByteArray(1, char(0x80)), u"unknown flags 0x80"},
        {"two pixel formats", QByteArray(1, char(0x30)), u"more than one pixel format"},
        {"description cut short",
         QByteArray("\x02\x05"
                    "ab",
                    4),
         u"description"},
        {"identifier cut short", QByteArray("\x04\x01\x02", 3), u"identifier"},
        {"bitmap length cut short", QByteArray("\x08\x10\x00", 3), u"length of a bitmap"},
        {"bitmap longer than the data", QByteArray(1, char(0x08)) + le32(5000) + bmp,
         u"a bitmap: 5000 bytes needed"},
        {"chunk list longer than the data",
         QByteArray(1, char(0x09)) + le32(quint32(chunk.size() + 5)) + le32(quint32(chunk.size())) +
             chunk,
         u"chunks of a compressed bitmap"},
        {"chunk longer than the chunk list",
         QByteArray(1, char(0x09)) + le32(quint32(chunk.size())) + le32(quint32(chunk.size())) +
             chunk,
         u"a bitmap chunk"},
        {"length field cut by the chunk list",
         QByteArray(1, char(0x09)) + le32(2) + QByteArray(2, '\0'), u"length field"},
        {"chunk expanding too far",
         QByteArray(1, char(0x09)) + le32(4 + 32783) + le32(32783) + QByteArray(1, char(0x80)) +
             QByteArray(32782, 'x'),
         u"more than 32781 bytes"},
        {"not a BMP file", QByteArray(1, char(0x08)) + le32(4) + QByteArray("GIF8"),
         u"not a readable BMP file"},
    };
    for (const Case& c : cases) {
        const QString message = readError(c.data);
        EXPECT_TRUE(message.contains(QStringView(c.message)))
            << c.name << ": " << message.toStdString();
    }
}

TEST(StoredItem, RefusesADescriptionItCannotStore)
{
    TLMDBitmapListItem item;
    item.description = QString(256, u'x');
    EXPECT_THROW(tolvane::writeStoredItem(item), tolvane::EWriteError);
    item.description = QStringLiteral("\u263a");
    EXPECT_THROW(tolvane::writeStoredItem(item), tolvane::EWriteError);
}

TEST(BitmapList, ReadsItemsOneAfterAnotherAndKeepsItselfOnError)
{
    TLMDBitmapList list;
    ASSERT_TRUE(list.appendBitmapFile(smallBmp()));
    int changes = 0;
    QObject::connect(&list, &TLMDBitmapList::changed, [&] { ++changes; });

    TLMDBitmapList source;
    source.setDefaultCompressed(true);
    source.appendBitmapFile(facesFile("up.bmp"));
    source.appendBitmapFile(smallBmp());
    const QByteArray stored = source.writeItems();

    EXPECT_THROW(list.readItems(stored.left(stored.size() - 1)), EReadError);
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(changes, 0);

    list.readItems(stored);
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.item(0).bitmapFile(), facesFile("up.bmp"));
    EXPECT_TRUE(list.item(1).compressed);
}

TEST(BitmapList, MissingFileIsNamedInTheError)
{
    TLMDBitmapList list;
    try {
        list.loadFromFile(QStringLiteral(":/faces/missing.bin"));
        FAIL() << "no error";
    } catch (const EReadError& error) {
        EXPECT_TRUE(error.message().contains(u":/faces/missing.bin"));
    }
}

TEST(BitmapList, LookupsAnswerWhiteBeyondTheList)
{
    TLMDBitmapList list;
    list.loadFromFile(QStringLiteral(":/faces/LMDBitmapList1.bin"));
    EXPECT_TRUE(list.isValid(1));
    EXPECT_FALSE(list.isValid(2));
    EXPECT_FALSE(list.isValid(-1));
    EXPECT_EQ(list.bitmapSize(0), QSize(37, 37));
    EXPECT_EQ(list.keyColor(2), QColor(Qt::white));
    EXPECT_EQ(list.pixel(2, QPoint(0, 0)), QColor(Qt::white));
    EXPECT_EQ(list.pixel(0, QPoint(37, 0)), QColor(Qt::white));
    EXPECT_EQ(list.pixel(0, QPoint(0, 0)), teal);
    EXPECT_EQ(list.pixel(0, QPoint(18, 18)), QColor(Qt::black));
}

TEST(BitmapList, DrawsScaledWithoutKeyPixelsOrBlending)
{
    TLMDBitmapList list;
    list.loadFromFile(QStringLiteral(":/faces/LMDBitmapList1.bin"));
    QImage target(25, 25, QImage::Format_RGB32);
    target.fill(Qt::red);
    QPainter painter(&target);
    const QRect covered =
        list.draw(painter, 0, target.rect(), tolvane::FaceFit::sbKeepAspRatio, true);
    painter.end();
    EXPECT_EQ(covered, QRect(0, 0, 25, 25));

    const QImage face = list.item(0).bitmap();
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 25; ++x) {
            // Every target pixel is the source pixel under its centre, or the untouched red
            // under a key pixel.
            const QColor source = face.pixelColor((2 * x + 1) * 37 / 50, (2 * y + 1) * 37 / 50);
            const QColor expected = source == teal ? QColor(Qt::red) : source;
            ASSERT_EQ(target.pixelColor(x, y), expected) << x << ',' << y;
        }
    QPainter again(&target);
    EXPECT_EQ(list.draw(again, 2, target.rect(), tolvane::FaceFit::sbStretch, true), QRect());
}

} // namespace
