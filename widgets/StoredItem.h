#pragma once

#include "widgets/BitmapListItem.h"

#include <QByteArray>

namespace tolvane {

class ByteReader;

// The stored form of a bitmap list item ("Internal"), in order:
//   flags, 1 byte: 0x01 compressed, 0x02 a description follows, 0x04 an identifier follows,
//       0x08 a bitmap follows; 0x10 mono, 0x20 4-bit or 0x40 8-bit pixel format;
//   a description: 1 length byte, then that many Latin-1 characters;
//   an identifier: 32-bit little-endian;
//   a plain bitmap: 32-bit length, then a complete BMP file of that length;
//   a compressed bitmap: 32-bit total length of the chunks that follow, each counted with its
//       4-byte length field, then the chunks, each a 32-bit length and the chunk (ChunkCodec.h);
//       the expanded chunks in order form a complete BMP file.
namespace itemflags {
inline constexpr quint8 compressed = 0x01;
inline constexpr quint8 description = 0x02;
inline constexpr quint8 ident = 0x04;
inline constexpr quint8 bitmap = 0x08;
inline constexpr quint8 mono = 0x10;
inline constexpr quint8 fourBit = 0x20;
inline constexpr quint8 eightBit = 0x40;
} // namespace itemflags

// Reads one item; raises EReadError for data that is truncated, malformed or not a BMP file.
TLMDBitmapListItem readStoredItem(ByteReader& in);

// Writes one item, its bitmap compressed when the item says so. Raises EWriteError for a
// description that does not fit its length byte or is not Latin-1.
QByteArray writeStoredItem(const TLMDBitmapListItem& item);

} // namespace tolvane
