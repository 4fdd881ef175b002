#include "widgets/StoredForm.h"

#include <QCoreApplication>
#include <QtEndian>

#include <algorithm>

namespace tolvane {

void ByteReader::need(qsizetype count, const char* what) const
{
    if (count < 0 || count > remaining())
        throw EReadError(
            QCoreApplication::translate("StoredForm",
                                        "The stored data ends inside %1: %2 bytes needed, %3 left")
                .arg(QLatin1StringView(what))
                .arg(count)
                .arg(remaining()));
}

quint8 ByteReader::u8(const char* what)
{
    need(1, what);
    return quint8(m_data[m_pos++]);
}

quint32 ByteReader::u32(const char* what)
{
    need(4, what);
    const quint32 value = qFromLittleEndian<quint32>(m_data.data() + m_pos);
    m_pos += 4;
    return value;
}

QByteArrayView ByteReader::bytes(qsizetype count, const char* what)
{
    need(count, what);
    const QByteArrayView view = m_data.sliced(m_pos, count);
    m_pos += count;
    return view;
}

void appendU32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

std::optional<QByteArray> bytesFromHex(QStringView text)
{
    const bool isHex = std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    });
    if (!isHex || text.size() % 2 != 0)
        return std::nullopt;
    return QByteArray::fromHex(text.toLatin1());
}

} // namespace tolvane
