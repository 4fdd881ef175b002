// Finds the sound cues in what SDL's "disk" audio driver captured (raw 16-bit little-endian
// stereo at 44.1 kHz, written in real time) and prints one line per cue heard, in order:
// "<seconds from the start of the capture> <name>", e.g. "0.023 Inhale".
//
//   tolvane_find_cues CAPTURE CUE_FOLDER
//
// A cue is recognised by a stretch of its own samples shortly after its start; a later cue may
// cut it off, so only its beginning is looked for.
#include "tests/support/Wav.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int sampleRate = 44100;
constexpr int captureChannels = 2;
// The signature starts 50 ms into the cue, past the softest part of its attack, and is long
// enough that no other sound shares it.
constexpr int signatureOffset = sampleRate / 20;
constexpr int signatureLength = 512;
// The driver converts mono to stereo through floating point, which may move a sample by one.
constexpr int tolerance = 2;

const char* const cueNames[] = {"Delay", "Inhale", "Check", "Exhale", "Exit"};

struct Cue {
    const char* name;
    std::vector<qint16> signature;
};

struct Heard {
    double seconds;
    const char* name;
};

bool matchesAt(const std::vector<qint16>& left, std::size_t at,
               const std::vector<qint16>& signature)
{
    for (std::size_t i = 0; i < signature.size(); ++i)
        if (std::abs(int(left[at + i]) - int(signature[i])) > tolerance)
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s CAPTURE CUE_FOLDER\n", argv[0]);
        return 2;
    }
    std::vector<Cue> cues;
    for (const char* name : cueNames) {
        const QString path = QDir(QString::fromLocal8Bit(argv[2]))
                                 .filePath(QString::fromLatin1(name) + QStringLiteral(".wav"));
        const tolvane::test::Pcm16 sound = tolvane::test::readWav(path);
        if (sound.channels != 1 || sound.sampleRate != sampleRate ||
            sound.frames() < signatureOffset + signatureLength) {
            std::fprintf(stderr, "%s is not a 44.1 kHz 16-bit mono cue\n", qPrintable(path));
            return 2;
        }
        const auto from = sound.samples.begin() + signatureOffset;
        cues.push_back({name, std::vector<qint16>(from, from + signatureLength)});
    }

    QFile capture(QString::fromLocal8Bit(argv[1]));
    if (!capture.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    const QByteArray bytes = capture.readAll();
    const auto frames = std::size_t(bytes.size()) / (2 * captureChannels);
    // Both channels carry the same mono cue; the left one is enough.
    std::vector<qint16> left(frames);
    for (std::size_t i = 0; i < frames; ++i)
        left[i] = qFromLittleEndian<qint16>(bytes.constData() + i * 2 * captureChannels);

    std::vector<Heard> heard;
    for (const Cue& cue : cues) {
        for (std::size_t at = 0; at + signatureLength <= frames; ++at) {
            if (!matchesAt(left, at, cue.signature))
                continue;
            heard.push_back(
                {double(at - std::min<std::size_t>(at, signatureOffset)) / sampleRate, cue.name});
            at += signatureLength;
        }
    }
    std::sort(heard.begin(), heard.end(),
              [](const Heard& a, const Heard& b) { return a.seconds < b.seconds; });
    for (const Heard& cue : heard)
        std::printf("%.3f %s\n", cue.seconds, cue.name);
    return 0;
}
