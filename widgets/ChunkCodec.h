#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace tolvane::chunk {

// The most one chunk may expand to.
inline constexpr qsizetype maxExpandedSize = 32781;
// How much of a bitmap the writer puts into one chunk.
inline constexpr qsizetype blockSize = 32768;

inline constexpr char stored = char(0x80);
inline constexpr char compressed = char(0x40);

// Expands one chunk: a method byte, then the bytes as they are (0x80) or compressed (0x40).
// A compressed chunk is a sequence of groups, each a 16-bit control word (high byte first)
// whose bits, from the most significant, tell whether each of the next 16 items is a literal
// byte (0) or a reference (1). A reference of two bytes b0, b1 copies (b1 & 15) + 3 bytes from
// b0 * 16 + (b1 >> 4) bytes back, byte by byte; with a distance of 0 it is a run of four bytes
// 0, n1, n2, c meaning n1 * 256 + n2 + 16 copies of c.
// Raises EReadError for an unknown method, a truncated item, a reference before the start of
// the output or an expansion beyond maxExpandedSize, and never touches memory outside its
// input or output.
QByteArray expand(QByteArrayView chunk);

// Compresses at most blockSize bytes into one chunk that expand() turns back into them; stored
// as is when compression would not make it smaller.
QByteArray compress(QByteArrayView block);

} // namespace tolvane::chunk
