#include "platform/Jpeg.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>

#include <csetjmp>
#include <cstdio> // jpeglib.h uses FILE without including its header

#include <jpeglib.h>

namespace tolvane::platform {

namespace {

static_assert(sizeof(unsigned long) >= sizeof(qsizetype), "every QByteArray size fits libjpeg's");

// libjpeg reports a fatal error by calling error_exit, which by default prints and exits. Ours
// jumps back to the function that started the failing call instead. The jump skips destructors,
// so everything from here to the setjmp calls is plain C data, and each function that calls
// setjmp keeps no object with a destructor and reads no local changed after setjmp.
struct ErrorManager {
    jpeg_error_mgr pub; // first, so that libjpeg's pointer to it is also a pointer to us
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

struct Decoder {
    jpeg_decompress_struct info;
    ErrorManager err;
    bool created;
};

[[noreturn]] void failDecoding(j_common_ptr info)
{
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

// Keeps the first warning (libjpeg passes on only that one) as the reason for a damaged picture.
void keepWarning(j_common_ptr info)
{
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    if (err->message[0] == '\0')
        (*info->err->format_message)(info, err->message);
}

// The samples asked of libjpeg for each stored layout; CMYK and YCCK both arrive as CMYK.
J_COLOR_SPACE outputSpaceFor(J_COLOR_SPACE stored)
{
    switch (stored) {
    case JCS_GRAYSCALE:
        return JCS_GRAYSCALE;
    case JCS_RGB:
    case JCS_YCbCr:
        return JCS_RGB;
    case JCS_CMYK:
    case JCS_YCCK:
        return JCS_CMYK;
    default:
        return JCS_UNKNOWN;
    }
}

// Samples per pixel of the layouts asked for.
int componentsOf(J_COLOR_SPACE space)
{
    switch (space) {
    case JCS_GRAYSCALE:
        return 1;
    case JCS_RGB:
        return 3;
    case JCS_CMYK:
        return 4;
    default:
        return 0;
    }
}

// Stage one: read the header and choose the output layout. Returns false on a fatal error.
bool readHeader(Decoder& d, const unsigned char* data, unsigned long size)
{
    if (setjmp(d.err.jump) != 0)
        return false;
    jpeg_create_decompress(&d.info);
    d.created = true;
    jpeg_mem_src(&d.info, data, size);
    jpeg_read_header(&d.info, TRUE);
    d.info.out_color_space = outputSpaceFor(d.info.jpeg_color_space);
    return true;
}

// Stage two, once the size is known to be sensible: decode the whole picture.
bool startDecoding(Decoder& d)
{
    if (setjmp(d.err.jump) != 0)
        return false;
    jpeg_start_decompress(&d.info);
    return true;
}

// Adobe applications store CMYK inverted (0 is full ink), and every CMYK JPEG in practice comes
// from them or follows them; libjpeg writes the same marker when it encodes CMYK.
QRgb cmykToRgb(const JSAMPLE* p, bool inverted)
{
    const int c = inverted ? p[0] : 255 - p[0];
    const int m = inverted ? p[1] : 255 - p[1];
    const int y = inverted ? p[2] : 255 - p[2];
    const int k = inverted ? p[3] : 255 - p[3];
    return qRgb(c * k / 255, m * k / 255, y * k / 255);
}

void convertRow(const JSAMPLE* in, QRgb* out, JDIMENSION width, J_COLOR_SPACE space, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x) {
        switch (space) {
        case JCS_GRAYSCALE:
            out[x] = qRgb(in[x], in[x], in[x]);
            break;
        case JCS_RGB:
            out[x] = qRgb(in[3 * x], in[3 * x + 1], in[3 * x + 2]);
            break;
        default:
            out[x] = cmykToRgb(in + 4 * x, inverted);
            break;
        }
    }
}

// Stage three: copy every scan line into the image. Returns false on a fatal error.
bool readRows(Decoder& d, uchar* bits, qsizetype bytesPerLine)
{
    if (setjmp(d.err.jump) != 0)
        return false;
    const JDIMENSION stride = d.info.output_width * JDIMENSION(d.info.output_components);
    JSAMPARRAY row = (*d.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d.info),
                                                 JPOOL_IMAGE, stride, 1);
    const bool inverted = d.info.saw_Adobe_marker;
    while (d.info.output_scanline < d.info.output_height) {
        uchar* line = bits + bytesPerLine * qsizetype(d.info.output_scanline);
        if (jpeg_read_scanlines(&d.info, row, 1) != 1)
            return false;
        convertRow(row[0], reinterpret_cast<QRgb*>(line), d.info.output_width,
                   d.info.out_color_space, inverted);
    }
    return true;
}

// Stage four: read up to the end marker, where libjpeg notices damage after the last row.
void finishDecoding(Decoder& d)
{
    if (setjmp(d.err.jump) != 0)
        return;
    jpeg_finish_decompress(&d.info);
}

// Frees libjpeg's memory on every way out of decodeJpeg.
class DecoderGuard {
public:
    explicit DecoderGuard(Decoder& d)
        : m_d(d)
    {
    }
    ~DecoderGuard()
    {
        if (m_d.created)
            jpeg_destroy_decompress(&m_d.info);
    }
    Q_DISABLE_COPY_MOVE(DecoderGuard)

private:
    Decoder& m_d;
};

QImage failed(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return {};
}

} // namespace

QImage decodeJpeg(const QByteArray& data, QString* error)
{
    if (error)
        error->clear();
    if (data.isEmpty())
        return failed(error, QCoreApplication::translate("Jpeg", "The picture is empty"));

    Decoder d{};
    d.info.err = jpeg_std_error(&d.err.pub);
    d.err.pub.error_exit = failDecoding;
    d.err.pub.output_message = keepWarning;
    const DecoderGuard guard(d);
    const auto libjpegMessage = [&d] { return QString::fromLatin1(d.err.message); };

    if (!readHeader(d, reinterpret_cast<const unsigned char*>(data.constData()),
                    static_cast<unsigned long>(data.size())))
        return failed(error, libjpegMessage());
    if (d.info.out_color_space == JCS_UNKNOWN)
        return failed(error, QCoreApplication::translate(
                                 "Jpeg", "Unsupported JPEG colour layout with %1 components")
                                 .arg(d.info.num_components));
    if (d.info.image_width > JDIMENSION(maxJpegSide) ||
        d.info.image_height > JDIMENSION(maxJpegSide))
        return failed(error, QCoreApplication::translate(
                                 "Jpeg", "The picture claims %1 × %2 pixels; at most %3 on a "
                                         "side are accepted")
                                 .arg(d.info.image_width)
                                 .arg(d.info.image_height)
                                 .arg(maxJpegSide));
    if (!startDecoding(d))
        return failed(error, libjpegMessage());
    if (d.info.output_components != componentsOf(d.info.out_color_space))
        return failed(error, QCoreApplication::translate(
                                 "Jpeg", "Unsupported JPEG colour layout with %1 components")
                                 .arg(d.info.output_components));

    QImage image(int(d.info.output_width), int(d.info.output_height), QImage::Format_RGB32);
    if (image.isNull())
        return failed(error, QCoreApplication::translate(
                                 "Jpeg", "Not enough memory for a picture of %1 × %2 pixels")
                                 .arg(d.info.output_width)
                                 .arg(d.info.output_height));
    if (!readRows(d, image.bits(), image.bytesPerLine()))
        return failed(error, d.err.message[0] != '\0'
                                 ? libjpegMessage()
                                 : QCoreApplication::translate("Jpeg", "Damaged JPEG data"));
    finishDecoding(d);
    if (error)
        *error = libjpegMessage();
    return image;
}

QImage loadJpeg(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(error, QCoreApplication::translate("Jpeg", "Cannot open %1: %2")
                                 .arg(path, file.errorString()));
    if (error)
        error->clear();
    QString reason;
    QImage image = decodeJpeg(file.readAll(), &reason);
    if (error && !reason.isEmpty())
        *error = path % u": " % reason;
    return image;
}

} // namespace tolvane::platform
