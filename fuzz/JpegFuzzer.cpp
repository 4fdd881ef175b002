// Feeds arbitrary bytes to the JPEG decoder behind the splash and About pictures. A picture either
// decodes to its stated size or is refused with a reason.
#include "platform/Jpeg.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

using namespace tolvane::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QString error;
    const QImage image = decodeJpeg(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), &error);
    if (image.isNull() && error.isEmpty())
        std::abort(); // a refusal always says why
    if (!image.isNull() && (image.width() > maxJpegSide || image.height() > maxJpegSide))
        std::abort();
    return 0;
}
