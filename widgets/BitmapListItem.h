#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

namespace tolvane {

// One bitmap of a TLMDBitmapList, with an optional number and text. Besides the bitmap it holds
// the bitmap's BMP file, so an item read from stored form data is written back byte for byte,
// and a copy whose key-colour pixels are transparent, for drawing the face without them.
class TLMDBitmapListItem {
public:
    enum PixelFormat { spfDefault, spfMono, spf4bit, spf8bit };

    QImage bitmap() const { return m_bitmap; }
    // Replaces the bitmap; its BMP file is encoded when the item is written.
    void setBitmap(const QImage& bitmap);
    // Replaces the bitmap by the one in a complete BMP file; false, leaving the item as it was,
    // when the data is not a readable BMP file.
    bool setBitmapFile(const QByteArray& bmp);
    // The bitmap as a complete BMP file; empty when there is no bitmap.
    QByteArray bitmapFile() const;

    // The colour of the bitmap's bottom-left pixel, which a face leaves out when drawn.
    QColor keyColor() const;
    // The bitmap with every pixel of the key colour transparent and all others opaque.
    const QImage& keyedBitmap() const { return m_keyed; }

    qint32 ident = 0;
    QString description;
    bool compressed = false;
    PixelFormat pixelFormat = spfDefault;

private:
    void takeBitmap(const QImage& bitmap);

    QImage m_bitmap;
    QImage m_keyed;
    QByteArray m_file;
};

} // namespace tolvane
