#include "tests/support/Wav.h"

#include <QFile>
#include <QtEndian>

#include <stdexcept>

namespace tolvane::test {

namespace {

void append32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void append16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

} // namespace

QByteArray wavBytes(const Pcm16& sound)
{
    const auto dataBytes = quint32(sound.samples.size() * 2);
    const auto blockAlign = quint16(sound.channels * 2);
    QByteArray out;
    out.append("RIFF");
    append32(out, 36 + dataBytes);
    out.append("WAVEfmt ");
    append32(out, 16);
    append16(out, 1); // PCM
    append16(out, quint16(sound.channels));
    append32(out, quint32(sound.sampleRate));
    append32(out, quint32(sound.sampleRate) * blockAlign);
    append16(out, blockAlign);
    append16(out, 16);
    out.append("data");
    append32(out, dataBytes);
    for (const qint16 sample : sound.samples)
        append16(out, quint16(sample));
    return out;
}

Pcm16 readWav(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return {};
    Pcm16 sound;
    bool pcm16 = false;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const auto size = qsizetype(qFromLittleEndian<quint32>(bytes.constData() + at + 4));
        const char* body = bytes.constData() + at + 8;
        if (at + 8 + size > bytes.size())
            return {};
        if (id == "fmt " && size >= 16) {
            pcm16 = qFromLittleEndian<quint16>(body) == 1 &&
                    qFromLittleEndian<quint16>(body + 14) == 16;
            sound.channels = qFromLittleEndian<quint16>(body + 2);
            sound.sampleRate = int(qFromLittleEndian<quint32>(body + 4));
        } else if (id == "data" && pcm16) {
            for (qsizetype i = 0; i + 1 < size; i += 2)
                sound.samples.push_back(qFromLittleEndian<qint16>(body + i));
            return sound;
        }
        at += 8 + size + (size & 1);
    }
    return {};
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file " + path.toStdString());
}

} // namespace tolvane::test
