#pragma once

#include <QImage>
#include <QString>

class QByteArray;

namespace tolvane::platform {

// Largest width or height accepted; a header claiming more is treated as damaged.
inline constexpr int maxJpegSide = 16384;

// Decodes a JPEG picture (grayscale, RGB, YCbCr, CMYK or YCCK; baseline or progressive) into an
// image of format RGB32. A picture that cannot be decoded gives a null image. Damaged data that
// libjpeg can still decode, such as a file that ends early, gives the whole picture with the
// missing part filled in grey. In both cases *error receives the reason; it is empty after a clean
// decode.
QImage decodeJpeg(const QByteArray& data, QString* error = nullptr);

// Reads a JPEG picture from a file or a Qt resource (":/..."), as decodeJpeg does. Error texts
// name the file.
QImage loadJpeg(const QString& path, QString* error = nullptr);

} // namespace tolvane::platform
