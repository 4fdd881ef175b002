#pragma once

#include "widgets/BitmapListItem.h"
#include "widgets/FaceFit.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QColor>
#include <QList>
#include <QObject>
#include <QRect>
#include <QRgb>

#include <vector>

class QPainter;

namespace tolvane {

// An ordered list of bitmaps that image buttons take their faces from. Every change emits
// changed(), so the buttons that show the list repaint.
//
// The list's stored form is its items' stored forms one after another (StoredItem.h). The main
// window's list is read from the program's resources:
//     auto* list = new TLMDBitmapList(this);
//     list->loadFromFile(QStringLiteral(":/faces/LMDBitmapList1.bin"));
class TLMDBitmapList : public QObject {
    Q_OBJECT

public:
    explicit TLMDBitmapList(QObject* parent = nullptr);
    Q_DISABLE_COPY(TLMDBitmapList)

    int count() const { return int(m_items.size()); }
    const TLMDBitmapListItem& item(int index) const { return m_items.at(std::size_t(index)); }
    void append(TLMDBitmapListItem item);
    void replace(int index, TLMDBitmapListItem item);
    void removeAt(int index);
    void clear();

    // Settings that new items take when added from pictures.
    bool defaultCompressed() const { return m_defaultCompressed; }
    void setDefaultCompressed(bool compressed) { m_defaultCompressed = compressed; }
    TLMDBitmapListItem::PixelFormat defaultPixelFormat() const { return m_defaultPixelFormat; }
    void setDefaultPixelFormat(TLMDBitmapListItem::PixelFormat format)
    {
        m_defaultPixelFormat = format;
    }
    // Appends an item holding the BMP file with the list's default settings; false when the
    // data is not a readable BMP file.
    bool appendBitmapFile(const QByteArray& bmp);

    // Replaces all items by those of the stored form; the list stays as it was when the data
    // cannot be read (EReadError).
    void readItems(QByteArrayView data);
    QByteArray writeItems() const;
    // readItems() on a file's contents, also from a Qt resource path; EReadError names the file
    // when it cannot be opened or read.
    void loadFromFile(const QString& fileName);

    // The lookups a button makes by face index.
    bool isValid(int index) const;
    QSize bitmapSize(int index) const;
    QList<QRgb> palette(int index) const;
    // The colour of the bitmap's bottom-left pixel; white beyond the list.
    QColor keyColor(int index) const;
    // A pixel of the unscaled bitmap; white beyond the list or outside the bitmap.
    QColor pixel(int index, QPoint position) const;
    // Fits the bitmap into area by style, leaving out its key-colour pixels when leaveOutKey
    // is set, with no blending: each target pixel takes one source pixel. Returns the
    // rectangle covered, empty when the bitmap is not valid.
    QRect draw(QPainter& painter, int index, const QRect& area, FaceFit::Style style,
               bool leaveOutKey) const;

Q_SIGNALS:
    void changed();

private:
    std::vector<TLMDBitmapListItem> m_items;
    bool m_defaultCompressed = false;
    TLMDBitmapListItem::PixelFormat m_defaultPixelFormat = TLMDBitmapListItem::spfDefault;
};

} // namespace tolvane
