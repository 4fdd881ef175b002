#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QColor>

#include <array>
#include <optional>

namespace tolvane {

// Which face a button shows in one of its eight states: an image of a list. A bitmap list has
// a single list and ignores the list index.
struct FaceIndex {
    qint32 imageIndex = 0;
    qint32 listIndex = 0;
    friend bool operator==(const FaceIndex&, const FaceIndex&) = default;
};

// The faces of a button's eight states and their stored form "ButtonFaceIndicesNew2": 16
// little-endian 32-bit integers, first the list indices of states 0 to 7, then the image
// indices of states 7 down to 0.
class FaceTable {
public:
    static constexpr int stateCount = 8;
    static constexpr qsizetype storedSize = 2 * stateCount * 4;

    FaceIndex& operator[](int state) { return m_entries.at(std::size_t(state)); }
    const FaceIndex& operator[](int state) const { return m_entries.at(std::size_t(state)); }
    friend bool operator==(const FaceTable&, const FaceTable&) = default;

    QByteArray write() const;
    // Nothing when the data is not exactly storedSize bytes.
    static std::optional<FaceTable> read(QByteArrayView data);

private:
    std::array<FaceIndex, stateCount> m_entries{};
};

// The stored form of a colour, "ButtonFaceTransColNew": a little-endian 32-bit colour value,
// red in the lowest byte. Reading gives nothing for data that is not 4 bytes or names a system
// colour rather than red, green and blue.
inline constexpr qsizetype storedColourSize = 4;
QByteArray writeColourValue(const QColor& colour);
std::optional<QColor> readColourValue(QByteArrayView data);

} // namespace tolvane
