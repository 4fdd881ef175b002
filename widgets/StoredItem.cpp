#include "widgets/StoredItem.h"

#include "widgets/ChunkCodec.h"
#include "widgets/StoredForm.h"

#include <QCoreApplication>

#include <algorithm>

namespace tolvane {

namespace {

constexpr quint8 formatFlags = itemflags::mono | itemflags::fourBit | itemflags::eightBit;
constexpr quint8 knownFlags = itemflags::compressed | itemflags::description | itemflags::ident |
                              itemflags::bitmap | formatFlags;

TLMDBitmapListItem::PixelFormat pixelFormat(quint8 flags)
{
    switch (flags & formatFlags) {
    case 0:
        return TLMDBitmapListItem::spfDefault;
    case itemflags::mono:
        return TLMDBitmapListItem::spfMono;
    case itemflags::fourBit:
        return TLMDBitmapListItem::spf4bit;
    case itemflags::eightBit:
        return TLMDBitmapListItem::spf8bit;
    }
    throw EReadError(QCoreApplication::translate(
        "StoredItem", "A bitmap list item names more than one pixel format"));
}

quint8 formatFlag(TLMDBitmapListItem::PixelFormat format)
{
    switch (format) {
    case TLMDBitmapListItem::spfDefault:
        return 0;
    case TLMDBitmapListItem::spfMono:
        return itemflags::mono;
    case TLMDBitmapListItem::spf4bit:
        return itemflags::fourBit;
    case TLMDBitmapListItem::spf8bit:
        return itemflags::eightBit;
    }
    return 0;
}

QByteArray readChunks(ByteReader& in)
{
    ByteReader chunks(
        in.bytes(in.u32("the length of a compressed bitmap"), "the chunks of a compressed bitmap"));
    QByteArray bmp;
    while (!chunks.atEnd()) {
        const quint32 length = chunks.u32("the length field of a bitmap chunk");
        bmp += chunk::expand(chunks.bytes(length, "a bitmap chunk"));
    }
    return bmp;
}

void writeChunks(QByteArray& out, const QByteArray& bmp)
{
    QByteArray chunks;
    for (qsizetype pos = 0; pos < bmp.size(); pos += chunk::blockSize) {
        const QByteArray packed = chunk::compress(
            QByteArrayView(bmp).sliced(pos, std::min(chunk::blockSize, bmp.size() - pos)));
        appendU32(chunks, quint32(packed.size()));
        chunks += packed;
    }
    appendU32(out, quint32(chunks.size()));
    out += chunks;
}

} // namespace

TLMDBitmapListItem readStoredItem(ByteReader& in)
{
    TLMDBitmapListItem item;
    const quint8 flags = in.u8("the flags of a bitmap list item");
    if (flags & ~knownFlags)
        throw EReadError(QCoreApplication::translate(
                             "StoredItem", "A bitmap list item has the unknown flags 0x%1")
                             .arg(flags & ~knownFlags, 2, 16, QLatin1Char('0')));
    item.compressed = flags & itemflags::compressed;
    item.pixelFormat = pixelFormat(flags);
    if (flags & itemflags::description) {
        const quint8 length = in.u8("the length of a description");
        const QByteArrayView text = in.bytes(length, "a description");
        item.description = QString::fromLatin1(text.data(), text.size());
    }
    if (flags & itemflags::ident)
        item.ident = qint32(in.u32("an identifier"));
    if (flags & itemflags::bitmap) {
        const QByteArray bmp =
            item.compressed ? readChunks(in)
                            : in.bytes(in.u32("the length of a bitmap"), "a bitmap").toByteArray();
        if (!item.setBitmapFile(bmp))
            throw EReadError(QCoreApplication::translate(
                                 "StoredItem", "The bitmap of a bitmap list item (%1 bytes) is not "
                                               "a readable BMP file")
                                 .arg(bmp.size()));
    }
    return item;
}

QByteArray writeStoredItem(const TLMDBitmapListItem& item)
{
    const QByteArray description = item.description.toLatin1();
    if (description.size() > 255 || QString::fromLatin1(description) != item.description)
        throw EWriteError(QCoreApplication::translate(
                              "StoredItem", "The description \"%1\" cannot be stored: it needs "
                                            "at most 255 Latin-1 characters")
                              .arg(item.description));
    const QByteArray bmp = item.bitmapFile();
    quint8 flags = formatFlag(item.pixelFormat);
    if (item.compressed)
        flags |= itemflags::compressed;
    if (!description.isEmpty())
        flags |= itemflags::description;
    if (item.ident != 0)
        flags |= itemflags::ident;
    if (!bmp.isEmpty())
        flags |= itemflags::bitmap;

    QByteArray out(1, char(flags));
    if (!description.isEmpty()) {
        out.append(char(description.size()));
        out += description;
    }
    if (item.ident != 0)
        appendU32(out, quint32(item.ident));
    if (!bmp.isEmpty()) {
        if (item.compressed) {
            writeChunks(out, bmp);
        } else {
            appendU32(out, quint32(bmp.size()));
            out += bmp;
        }
    }
    return out;
}

} // namespace tolvane
