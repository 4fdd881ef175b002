#include "platform/Jpeg.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RequireTool.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cstdio> // jpeglib.h uses FILE without including its header
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>

using namespace tolvane::platform;

namespace {

const QString splashPath = QStringLiteral(":/pictures/splash.jpg");

QByteArray splashBytes()
{
    QFile file(splashPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the encoder is asked to write: pixels given in inSpace, stored as storedSpace.
struct Encoding {
    int width = 32;
    int height = 32;
    J_COLOR_SPACE inSpace = JCS_RGB;
    int components = 3;
    J_COLOR_SPACE storedSpace = JCS_YCbCr;
    bool progressive = false;
    bool adobeMarker = true;
    std::function<void(int x, int y, JSAMPLE* px)> pixel;
};

QByteArray encode(const Encoding& e)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(e.width);
    info.image_height = JDIMENSION(e.height);
    info.input_components = e.components;
    info.in_color_space = e.inSpace;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, e.storedSpace);
    info.write_Adobe_marker = e.adobeMarker && e.components == 4;
    jpeg_set_quality(&info, 100, TRUE);
    if (e.progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(std::size_t(e.width * e.components));
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < e.width; ++x)
            e.pixel(x, int(info.next_scanline), row.data() + x * e.components);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

// Offset of the frame header (SOFn) marker; its payload holds precision, height, width, count.
qsizetype frameHeader(const QByteArray& jpeg)
{
    qsizetype at = 2;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xFF) {
        const uchar marker = uchar(jpeg[at + 1]);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return at;
        at += 2 + (uchar(jpeg[at + 2]) << 8 | uchar(jpeg[at + 3]));
    }
    return -1;
}

QByteArray withClaimedSize(QByteArray jpeg, int width, int height)
{
    const qsizetype sof = frameHeader(jpeg);
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height & 0xFF);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width & 0xFF);
    return jpeg;
}

::testing::AssertionResult near(QRgb actual, QRgb expected, int tolerance)
{
    if (std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
        std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
        std::abs(qBlue(actual) - qBlue(expected)) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got (" << qRed(actual) << ", " << qGreen(actual) << ", " << qBlue(actual)
           << "), expected (" << qRed(expected) << ", " << qGreen(expected) << ", "
           << qBlue(expected) << ") within " << tolerance;
}

// The splash picture

TEST(SplashPicture, IsABaselineJpegOf362By260WithThreeComponents)
{
    const QByteArray jpeg = splashBytes();
    const qsizetype sof = frameHeader(jpeg);
    ASSERT_GT(sof, 0);
    EXPECT_EQ(uchar(jpeg[sof + 1]), 0xC0) << "baseline frame";
    EXPECT_EQ(uchar(jpeg[sof + 5]) << 8 | uchar(jpeg[sof + 6]), 260);
    EXPECT_EQ(uchar(jpeg[sof + 7]) << 8 | uchar(jpeg[sof + 8]), 362);
    EXPECT_EQ(uchar(jpeg[sof + 9]), 3);
}

TEST(SplashPicture, LoadsFromTheResourcesWithoutComplaint)
{
    QString error = QStringLiteral("stale");
    const QImage image = loadJpeg(splashPath, &error);
    EXPECT_EQ(error, QString());
    EXPECT_EQ(image.size(), QSize(362, 260));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
}

TEST(SplashPicture, MatchesQtsOwnReader)
{
    TOLVANE_REQUIRE(QImageReader::supportedImageFormats().contains("jpeg"), "libqt6gui6");
    const QImage ours = loadJpeg(splashPath);
    const QImage qts = QImage(splashPath).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(ours.size(), qts.size());
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x)
            ASSERT_TRUE(near(ours.pixel(x, y), qts.pixel(x, y), 2)) << "at " << x << ", " << y;
}

TEST(SplashPicture, ShowsDuskSkyTitleSunAndALightCalmPlaceForTheVersionLabel)
{
    const QImage image = loadJpeg(splashPath);
    ASSERT_FALSE(image.isNull());
    const QRgb sky = image.pixel(10, 5);
    EXPECT_LT(qGray(sky), 80);
    EXPECT_GT(qBlue(sky), qRed(sky) + 30);
    EXPECT_GT(qGray(image.pixel(292, 135)), 230) << "the sun";

    int brightInTitle = 0;
    for (int y = 45; y < 95; ++y)
        for (int x = 60; x < 300; ++x)
            brightInTitle += qGray(image.pixel(x, y)) > 225;
    EXPECT_GT(brightInTitle, 500) << "the title's letters";

    int darkest = 255;
    int lightest = 0;
    for (int y = 222; y < 242; ++y) {
        for (int x = 141; x < 221; ++x) {
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
            lightest = std::max(lightest, qGray(image.pixel(x, y)));
        }
    }
    EXPECT_GT(darkest, 190) << "black text must stand out";
    EXPECT_LT(lightest - darkest, 20) << "no detail under the label";
}

// Colour layouts

struct Layout {
    const char* name;
    Encoding encoding;
};

void PrintTo(const Layout& layout, std::ostream* out)
{
    *out << layout.name;
}

const QRgb red = qRgb(220, 40, 30);
const QRgb green = qRgb(40, 180, 60);
const QRgb blue = qRgb(30, 60, 200);
const QRgb grey = qRgb(128, 128, 128);

QRgb quadrant(int x, int y)
{
    return x < 16 ? (y < 16 ? red : blue) : (y < 16 ? green : grey);
}

void rgbPixel(int x, int y, JSAMPLE* px)
{
    const QRgb c = quadrant(x, y);
    px[0] = JSAMPLE(qRed(c));
    px[1] = JSAMPLE(qGreen(c));
    px[2] = JSAMPLE(qBlue(c));
}

// Adobe CMYK stores 255 for no ink; grey comes from black ink alone.
void adobeCmykPixel(int x, int y, JSAMPLE* px)
{
    const QRgb c = quadrant(x, y);
    const bool isGrey = c == grey;
    px[0] = JSAMPLE(isGrey ? 255 : qRed(c));
    px[1] = JSAMPLE(isGrey ? 255 : qGreen(c));
    px[2] = JSAMPLE(isGrey ? 255 : qBlue(c));
    px[3] = JSAMPLE(isGrey ? 128 : 255);
}

void plainCmykPixel(int x, int y, JSAMPLE* px)
{
    adobeCmykPixel(x, y, px);
    for (int i = 0; i < 4; ++i)
        px[i] = JSAMPLE(255 - px[i]);
}

Encoding rgbAs(J_COLOR_SPACE stored, bool progressive = false)
{
    Encoding e;
    e.storedSpace = stored;
    e.progressive = progressive;
    e.pixel = rgbPixel;
    return e;
}

Encoding cmykAs(J_COLOR_SPACE stored, bool adobe)
{
    Encoding e;
    e.inSpace = JCS_CMYK;
    e.components = 4;
    e.storedSpace = stored;
    e.adobeMarker = adobe;
    e.pixel = adobe ? adobeCmykPixel : plainCmykPixel;
    return e;
}

class ColourLayout : public testing::TestWithParam<Layout> {};

TEST_P(ColourLayout, DecodesEachQuadrantToItsColour)
{
    QString error;
    const QImage image = decodeJpeg(encode(GetParam().encoding), &error);
    EXPECT_EQ(error, QString());
    ASSERT_EQ(image.size(), QSize(32, 32));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    for (const QPoint at : {QPoint(4, 4), QPoint(27, 4), QPoint(4, 27), QPoint(27, 27)})
        EXPECT_TRUE(near(image.pixel(at), quadrant(at.x(), at.y()), 4))
            << "at " << at.x() << ", " << at.y();
}

INSTANTIATE_TEST_SUITE_P(Jpeg, ColourLayout,
                         testing::Values(Layout{"YCbCr", rgbAs(JCS_YCbCr)},
                                         Layout{"Rgb", rgbAs(JCS_RGB)},
                                         Layout{"Progressive", rgbAs(JCS_YCbCr, true)},
                                         Layout{"AdobeCmyk", cmykAs(JCS_CMYK, true)},
                                         Layout{"AdobeYcck", cmykAs(JCS_YCCK, true)},
                                         Layout{"CmykWithoutAdobeMarker", cmykAs(JCS_CMYK, false)}),
                         [](const testing::TestParamInfo<Layout>& param) {
                             return std::string(param.param.name);
                         });

Encoding greyRamp(int width, int height)
{
    Encoding e;
    e.width = width;
    e.height = height;
    e.inSpace = JCS_GRAYSCALE;
    e.components = 1;
    e.storedSpace = JCS_GRAYSCALE;
    e.pixel = [](int x, int, JSAMPLE* px) { *px = JSAMPLE(x * 4 % 256); };
    return e;
}

TEST(Jpeg, GrayscaleGivesEqualChannelsFollowingTheRamp)
{
    QString error;
    const QImage image = decodeJpeg(encode(greyRamp(64, 16)), &error);
    EXPECT_EQ(error, QString());
    ASSERT_EQ(image.size(), QSize(64, 16));
    for (int x = 0; x < 64; ++x)
        EXPECT_TRUE(near(image.pixel(x, 8), qRgb(x * 4, x * 4, x * 4), 2)) << "at " << x;
}

TEST(Jpeg, TheLargestAcceptedWidthDecodes)
{
    QString error;
    const QImage image = decodeJpeg(encode(greyRamp(maxJpegSide, 8)), &error);
    EXPECT_EQ(error, QString());
    EXPECT_EQ(image.size(), QSize(maxJpegSide, 8));
}

TEST(Jpeg, TwoComponentPicturesAreRefused)
{
    Encoding e;
    e.inSpace = JCS_UNKNOWN;
    e.components = 2;
    e.storedSpace = JCS_UNKNOWN;
    e.pixel = [](int x, int y, JSAMPLE* px) { px[0] = px[1] = JSAMPLE(x + y); };
    QString error;
    EXPECT_TRUE(decodeJpeg(encode(e), &error).isNull());
    EXPECT_EQ(error, QStringLiteral("Unsupported JPEG colour layout with 2 components"));
}

// Damaged input: each gives a reason and never ends the process.

TEST(DamagedJpeg, EmptyDataIsRefused)
{
    QString error;
    EXPECT_TRUE(decodeJpeg(QByteArray(), &error).isNull());
    EXPECT_EQ(error, QStringLiteral("The picture is empty"));
}

TEST(DamagedJpeg, GarbageIsNotAJpeg)
{
    QString error;
    EXPECT_TRUE(decodeJpeg(QByteArray("this is a text file, not a picture"), &error).isNull());
    EXPECT_TRUE(error.startsWith(QStringLiteral("Not a JPEG file"))) << error.toStdString();
}

TEST(DamagedJpeg, HeaderCutShortGivesNoImage)
{
    QString error;
    EXPECT_TRUE(decodeJpeg(splashBytes().left(100), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
}

TEST(DamagedJpeg, HalfAFileGivesTheTopAndAGreyRest)
{
    const QByteArray whole = splashBytes();
    const QImage full = decodeJpeg(whole);
    QString error;
    const QImage half = decodeJpeg(whole.left(whole.size() / 2), &error);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Premature end of JPEG file")))
        << error.toStdString();
    ASSERT_EQ(half.size(), QSize(362, 260));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 362; ++x)
            ASSERT_EQ(half.pixel(x, y), full.pixel(x, y)) << "at " << x << ", " << y;
    EXPECT_TRUE(near(half.pixel(200, 255), grey, 2));
}

TEST(DamagedJpeg, ProgressiveFileCutInItsLastScanStillGivesThePicture)
{
    Encoding textured = rgbAs(JCS_YCbCr, true);
    textured.pixel = [](int x, int y, JSAMPLE* px) {
        rgbPixel(x, y, px);
        for (int i = 0; i < 3; ++i)
            px[i] = JSAMPLE(px[i] + (x * 37 + y * 91 + i * 5) % 17 - 8);
    };
    const QByteArray whole = encode(textured);
    const qsizetype cut = whole.lastIndexOf("\xFF\xDA") + 12;
    ASSERT_LT(cut, whole.size() - 2);
    QString error;
    const QImage image = decodeJpeg(whole.left(cut), &error);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Premature end of JPEG file")))
        << error.toStdString();
    ASSERT_EQ(image.size(), QSize(32, 32));
    EXPECT_TRUE(near(image.pixel(4, 4), red, 24)) << "the earlier scans are shown";
}

TEST(DamagedJpeg, AbsurdSizesAreRefusedBeforeAnyMemoryIsTaken)
{
    const QByteArray small = encode(rgbAs(JCS_YCbCr));
    for (const QSize claim : {QSize(maxJpegSide + 1, 32), QSize(32, maxJpegSide + 1),
                              QSize(20000, 20000), QSize(65535, 65535)}) {
        QString error;
        EXPECT_TRUE(
            decodeJpeg(withClaimedSize(small, claim.width(), claim.height()), &error).isNull());
        EXPECT_FALSE(error.isEmpty()) << claim.width() << " x " << claim.height();
    }
    QString error;
    decodeJpeg(withClaimedSize(small, 20000, 20000), &error);
    EXPECT_EQ(error,
              QStringLiteral(
                  "The picture claims 20000 × 20000 pixels; at most 16384 on a side are accepted"));
}

TEST(DamagedJpeg, ErrorsOfAFileNameIt)
{
    QString error;
    EXPECT_TRUE(loadJpeg(QStringLiteral("/nonexistent/picture.jpg"), &error).isNull());
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot open /nonexistent/picture.jpg: ")))
        << error.toStdString();
}

} // namespace
