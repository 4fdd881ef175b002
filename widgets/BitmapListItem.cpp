#include "widgets/BitmapListItem.h"

#include <QBuffer>

namespace tolvane {

void TLMDBitmapListItem::setBitmap(const QImage& bitmap)
{
    takeBitmap(bitmap);
    m_file.clear();
}

bool TLMDBitmapListItem::setBitmapFile(const QByteArray& bmp)
{
    const QImage bitmap = QImage::fromData(bmp, "BMP");
    if (bitmap.isNull())
        return false;
    takeBitmap(bitmap);
    m_file = bmp;
    return true;
}

QByteArray TLMDBitmapListItem::bitmapFile() const
{
    if (!m_file.isEmpty() || m_bitmap.isNull())
        return m_file;
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    m_bitmap.save(&buffer, "BMP");
    return bmp;
}

QColor TLMDBitmapListItem::keyColor() const
{
    if (m_bitmap.isNull())
        return Qt::white;
    return m_bitmap.pixelColor(0, m_bitmap.height() - 1);
}

void TLMDBitmapListItem::takeBitmap(const QImage& bitmap)
{
    m_bitmap = bitmap;
    if (bitmap.isNull()) {
        m_keyed = {};
        return;
    }
    constexpr QRgb colourBits = 0x00ffffff;
    const QRgb key = bitmap.pixel(0, bitmap.height() - 1) & colourBits;
    m_keyed = bitmap.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < m_keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(m_keyed.scanLine(y));
        for (int x = 0; x < m_keyed.width(); ++x) {
            const QRgb colour = line[x] & colourBits;
            line[x] = colour == key ? 0 : colour | ~colourBits;
        }
    }
}

} // namespace tolvane
