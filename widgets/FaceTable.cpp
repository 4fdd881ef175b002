#include "widgets/FaceTable.h"

#include "widgets/StoredForm.h"

#include <QtEndian>

namespace tolvane {

QByteArray FaceTable::write() const
{
    QByteArray out;
    for (const FaceIndex& entry : m_entries)
        appendU32(out, quint32(entry.listIndex));
    for (int state = stateCount - 1; state >= 0; --state)
        appendU32(out, quint32(m_entries.at(std::size_t(state)).imageIndex));
    return out;
}

std::optional<FaceTable> FaceTable::read(QByteArrayView data)
{
    if (data.size() != storedSize)
        return std::nullopt;
    ByteReader in(data);
    FaceTable table;
    for (FaceIndex& entry : table.m_entries)
        entry.listIndex = qint32(in.u32("a list index"));
    for (int state = stateCount - 1; state >= 0; --state)
        table[state].imageIndex = qint32(in.u32("an image index"));
    return table;
}

QByteArray writeColourValue(const QColor& colour)
{
    QByteArray out;
    appendU32(out,
              quint32(colour.red()) | quint32(colour.green()) << 8 | quint32(colour.blue()) << 16);
    return out;
}

std::optional<QColor> readColourValue(QByteArrayView data)
{
    if (data.size() != storedColourSize)
        return std::nullopt;
    const quint32 value = qFromLittleEndian<quint32>(data.data());
    if (value >> 24 != 0)
        return std::nullopt;
    return QColor(int(value & 0xff), int(value >> 8 & 0xff), int(value >> 16 & 0xff));
}

} // namespace tolvane
