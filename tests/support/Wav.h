#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace tolvane::test {

// 16-bit PCM sound as a test makes or reads it; samples interleave the channels.
struct Pcm16 {
    int sampleRate = 44100;
    int channels = 1;
    std::vector<qint16> samples;

    qsizetype frames() const { return qsizetype(samples.size()) / channels; }
};

// The bytes of a canonical WAV file holding the sound.
QByteArray wavBytes(const Pcm16& sound);

// Reads a 16-bit PCM WAV file; an empty sound when the file is anything else.
Pcm16 readWav(const QString& path);

void writeFile(const QString& path, const QByteArray& bytes);

} // namespace tolvane::test
