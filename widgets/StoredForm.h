#pragma once

#include "platform/Errors.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace tolvane {

// Stored form data that cannot be read: truncated, malformed or inconsistent.
class EReadError : public TolvaneError {
    using TolvaneError::TolvaneError;
};

// A value that has no stored form, such as a description longer than its length byte allows.
class EWriteError : public TolvaneError {
    using TolvaneError::TolvaneError;
};

// Reads little-endian fields from stored form data, never past its end: a field that does not
// fit raises EReadError naming what was being read.
class ByteReader {
public:
    explicit ByteReader(QByteArrayView data)
        : m_data(data)
    {
    }

    bool atEnd() const { return m_pos == m_data.size(); }
    qsizetype remaining() const { return m_data.size() - m_pos; }

    quint8 u8(const char* what);
    quint32 u32(const char* what);
    QByteArrayView bytes(qsizetype count, const char* what);

private:
    void need(qsizetype count, const char* what) const;

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

// Appends little-endian fields to stored form data.
void appendU32(QByteArray& out, quint32 value);

// Binary stored form data written as hexadecimal text, two digits a byte, as form files hold
// it; nothing when the text has an odd number of digits or anything but hexadecimal digits.
std::optional<QByteArray> bytesFromHex(QStringView text);

} // namespace tolvane
