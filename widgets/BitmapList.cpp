#include "widgets/BitmapList.h"

#include "widgets/StoredForm.h"
#include "widgets/StoredItem.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>

#include <stdexcept>

namespace tolvane {

TLMDBitmapList::TLMDBitmapList(QObject* parent)
    : QObject(parent)
{
}

void TLMDBitmapList::append(TLMDBitmapListItem item)
{
    m_items.push_back(std::move(item));
    Q_EMIT changed();
}

void TLMDBitmapList::replace(int index, TLMDBitmapListItem item)
{
    m_items.at(std::size_t(index)) = std::move(item);
    Q_EMIT changed();
}

void TLMDBitmapList::removeAt(int index)
{
    if (index < 0 || index >= count())
        throw std::out_of_range("TLMDBitmapList::removeAt");
    m_items.erase(m_items.begin() + index);
    Q_EMIT changed();
}

void TLMDBitmapList::clear()
{
    m_items.clear();
    Q_EMIT changed();
}

bool TLMDBitmapList::appendBitmapFile(const QByteArray& bmp)
{
    TLMDBitmapListItem item;
    if (!item.setBitmapFile(bmp))
        return false;
    item.compressed = m_defaultCompressed;
    item.pixelFormat = m_defaultPixelFormat;
    append(std::move(item));
    return true;
}

void TLMDBitmapList::readItems(QByteArrayView data)
{
    std::vector<TLMDBitmapListItem> items;
    ByteReader in(data);
    while (!in.atEnd())
        items.push_back(readStoredItem(in));
    m_items = std::move(items);
    Q_EMIT changed();
}

QByteArray TLMDBitmapList::writeItems() const
{
    QByteArray out;
    for (const TLMDBitmapListItem& item : m_items)
        out += writeStoredItem(item);
    return out;
}

void TLMDBitmapList::loadFromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EReadError(
            QCoreApplication::translate("BitmapList", "Cannot open the bitmap list %1: %2")
                .arg(fileName, file.errorString()));
    try {
        readItems(file.readAll());
    } catch (const EReadError& error) {
        throw EReadError(
            QCoreApplication::translate("BitmapList", "Cannot read the bitmap list %1: %2")
                .arg(fileName, error.message()));
    }
}

bool TLMDBitmapList::isValid(int index) const
{
    return index >= 0 && index < count() && !item(index).bitmap().isNull();
}

QSize TLMDBitmapList::bitmapSize(int index) const
{
    return isValid(index) ? item(index).bitmap().size() : QSize();
}

QList<QRgb> TLMDBitmapList::palette(int index) const
{
    return isValid(index) ? item(index).bitmap().colorTable() : QList<QRgb>();
}

QColor TLMDBitmapList::keyColor(int index) const
{
    return isValid(index) ? item(index).keyColor() : QColor(Qt::white);
}

QColor TLMDBitmapList::pixel(int index, QPoint position) const
{
    if (!isValid(index) || !item(index).bitmap().rect().contains(position))
        return Qt::white;
    return item(index).bitmap().pixelColor(position);
}

QRect TLMDBitmapList::draw(QPainter& painter, int index, const QRect& area, FaceFit::Style style,
                           bool leaveOutKey) const
{
    if (!isValid(index))
        return {};
    const QImage& face = leaveOutKey ? item(index).keyedBitmap() : item(index).bitmap();
    const QRect covered =
        FaceFit::faceRect(style, face.size(), area.size()).translated(area.topLeft());
    if (style == FaceFit::sbTile) {
        painter.save();
        painter.setClipRect(area, Qt::IntersectClip);
        for (int y = area.top(); y <= area.bottom(); y += face.height())
            for (int x = area.left(); x <= area.right(); x += face.width())
                painter.drawImage(QPoint(x, y), face);
        painter.restore();
    } else if (covered.size() == face.size()) {
        painter.drawImage(covered.topLeft(), face);
    } else if (!covered.isEmpty()) {
        painter.drawImage(covered.topLeft(), face.scaled(covered.size(), Qt::IgnoreAspectRatio,
                                                         Qt::FastTransformation));
    }
    return covered;
}

} // namespace tolvane
