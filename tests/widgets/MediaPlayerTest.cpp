// Plays cues for real through SDL's disk audio driver, which writes what the device plays to a
// file in real time, and checks that file. The driver is chosen once per process, so these tests
// have their own executable.
#include "widgets/MediaPlayer.h"
#include "platform/Audio.h"
#include "platform/Errors.h"
#include "tests/support/DiskCapture.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/Wav.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>

using namespace tolvane;
using namespace tolvane::platform;
using namespace tolvane::test;

namespace {

constexpr int sampleRate = captureSampleRate;
// More than a device buffer of silence: the sound before it has really ended.
constexpr qsizetype settledSilence = 4096;
// Tolerance for the back end's integer-float-integer round trip when it converts mono to stereo.
constexpr int rounding = 2;

DiskCapture* const diskAudio = captureAudioOnDisk();

// Test tones that never pass through zero and show at every frame how far they have got.
using Tone = qint16 (*)(qsizetype);
qint16 rising(qsizetype frame)
{
    return qint16(1000 + frame % 20000);
}
qint16 falling(qsizetype frame)
{
    return qint16(-rising(frame));
}

Pcm16 toneFile(Tone tone, qsizetype frames)
{
    Pcm16 sound;
    for (qsizetype i = 0; i < frames; ++i)
        sound.samples.push_back(tone(i));
    return sound;
}

struct Stretch {
    qsizetype start;
    qsizetype length;
    qsizetype end() const { return start + length; }
};

// The sound from `from` on, after any silence, that follows the tone from the tone's first frame,
// up to where it departs from the tone or falls silent.
Stretch follow(const std::vector<qint16>& samples, qsizetype from, Tone tone)
{
    const auto size = qsizetype(samples.size());
    qsizetype start = from;
    while (start < size && samples[size_t(start)] == 0)
        ++start;
    qsizetype end = start;
    while (end < size && samples[size_t(end)] != 0 &&
           std::abs(samples[size_t(end)] - tone(end - start)) <= rounding)
        ++end;
    return {start, end - start};
}

bool sounding(qint16 sample)
{
    return sample != 0;
}

qsizetype soundFrames(const std::vector<qint16>& samples)
{
    return std::count_if(samples.begin(), samples.end(), sounding);
}

bool silentFrom(const std::vector<qint16>& samples, qsizetype from)
{
    return std::none_of(samples.begin() + from, samples.end(), sounding);
}

class MediaPlayerPlayback : public testing::Test {
protected:
    static constexpr qsizetype longFrames = sampleRate * 6 / 10;
    static constexpr qsizetype shortFrames = sampleRate / 5;
    static constexpr qsizetype underway = 2000;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        previousDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
        writeFile(dir.filePath(QStringLiteral("Long.wav")), wavBytes(toneFile(rising, longFrames)));
        writeFile(dir.filePath(QStringLiteral("Short.wav")),
                  wavBytes(toneFile(falling, shortFrames)));
        startCapture();
    }
    void TearDown() override { QDir::setCurrent(previousDir); }

    // Whatever played before has been written out once the capture has grown by a few device
    // buffers; from then on it holds only what the test plays.
    void startCapture()
    {
        const qsizetype before = capturedFrames();
        waitUntil([&] { return capturedFrames() >= before + 3 * 1024; });
        mark = capturedFrames();
    }

    // Waits until the capture shows at least that many frames of sound, the last of them
    // followed by settled silence.
    std::vector<qint16> waitForEndOfSound(qsizetype frames)
    {
        std::vector<qint16> samples;
        EXPECT_TRUE(waitUntil([&] {
            samples = capturedSince(mark);
            const auto lastSound = std::find_if(samples.rbegin(), samples.rend(), sounding);
            return soundFrames(samples) >= frames && lastSound - samples.rbegin() >= settledSilence;
        })) << "the capture never showed "
            << frames << " frames of sound ending";
        return samples;
    }

    // Waits until a sound has played for a while, so that it is surely still sounding.
    void waitForSoundUnderway()
    {
        EXPECT_TRUE(waitUntil([&] { return soundFrames(capturedSince(mark)) >= underway; }))
            << "the capture never showed the sound";
    }

    void openAndPlay(const QString& fileName)
    {
        player.setEnabled(true);
        player.setFileName(fileName);
        player.open();
        player.play();
        player.setEnabled(false);
    }

    QTemporaryDir dir;
    QString previousDir;
    qsizetype mark = 0;
    TMediaPlayer player;
};

TEST_F(MediaPlayerPlayback, ShippedCueFromTheWorkingDirectoryPlaysSampleForSample)
{
    QDir::setCurrent(QStringLiteral(TOLVANE_CUES_DIR));
    const Pcm16 inhale = readWav(QStringLiteral("Inhale.wav"));
    ASSERT_EQ(inhale.channels, 1);
    ASSERT_EQ(inhale.sampleRate, sampleRate);
    const auto audible = [](qint16 sample) { return std::abs(sample) > 100; };
    const auto cueLead = std::find_if(inhale.samples.begin(), inhale.samples.end(), audible) -
                         inhale.samples.begin();

    openAndPlay(QStringLiteral("Inhale.wav"));
    std::vector<qint16> left;
    ASSERT_TRUE(waitUntil([&] {
        left = capturedSince(mark);
        const auto heard = std::find_if(left.begin(), left.end(), audible) - left.begin();
        return heard < qsizetype(left.size()) &&
               qsizetype(left.size()) >= heard - cueLead + inhale.frames() + settledSilence;
    }));
    const std::vector<qint16> right = capturedSince(mark, 1);
    const auto heard = std::find_if(left.begin(), left.end(), audible) - left.begin();

    // The audible threshold may be crossed a frame early or late after conversion.
    int closest = std::numeric_limits<int>::max();
    qsizetype start = 0;
    for (qsizetype shift = -2; shift <= 2; ++shift) {
        const qsizetype at = heard - cueLead + shift;
        if (at < 0)
            continue;
        int worst = 0;
        for (qsizetype i = 0; i < inhale.frames(); ++i)
            worst = std::max(worst, std::abs(left[size_t(at + i)] - inhale.samples[size_t(i)]));
        if (worst < closest) {
            closest = worst;
            start = at;
        }
    }
    EXPECT_LE(closest, rounding);
    EXPECT_TRUE(std::none_of(left.begin(), left.begin() + start, sounding));
    EXPECT_TRUE(silentFrom(left, start + inhale.frames()));
    ASSERT_GE(right.size(), left.size());
    EXPECT_EQ(left, std::vector<qint16>(right.begin(), right.begin() + qsizetype(left.size())));
}

TEST_F(MediaPlayerPlayback, PlayReturnsAtOnceAndTheCueEndsByItself)
{
    player.setFileName(QStringLiteral("Long.wav"));
    player.open();
    QElapsedTimer timer;
    timer.start();
    player.play();
    EXPECT_LT(timer.elapsed(), 300);
    EXPECT_TRUE(player.lastError().isEmpty());

    const std::vector<qint16> samples = waitForEndOfSound(longFrames);
    const Stretch cue = follow(samples, 0, rising);
    EXPECT_EQ(cue.length, longFrames);
    EXPECT_TRUE(silentFrom(samples, cue.end()));
}

TEST_F(MediaPlayerPlayback, ANewCueCutsOffTheOneStillSounding)
{
    openAndPlay(QStringLiteral("Long.wav"));
    waitForSoundUnderway();
    openAndPlay(QStringLiteral("Short.wav"));

    const std::vector<qint16> samples = waitForEndOfSound(underway + shortFrames);
    const Stretch first = follow(samples, 0, rising);
    EXPECT_GE(first.length, underway);
    EXPECT_LT(first.length, longFrames);
    const Stretch second = follow(samples, first.end(), falling);
    EXPECT_EQ(second.length, shortFrames);
    EXPECT_TRUE(silentFrom(samples, second.end()));
}

TEST_F(MediaPlayerPlayback, ARepeatedCueStartsAgainFromItsBeginning)
{
    const struct {
        const char* name;
        std::function<void()> repeat;
    } cases[] = {
        {"opened afresh", [&] { openAndPlay(QStringLiteral("Long.wav")); }},
        {"played again", [&] { player.play(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        startCapture();
        openAndPlay(QStringLiteral("Long.wav"));
        waitForSoundUnderway();
        c.repeat();

        const std::vector<qint16> samples = waitForEndOfSound(underway + longFrames);
        const Stretch first = follow(samples, 0, rising);
        EXPECT_GE(first.length, underway);
        EXPECT_LT(first.length, longFrames);
        const Stretch second = follow(samples, first.end(), rising);
        EXPECT_EQ(second.length, longFrames);
        EXPECT_TRUE(silentFrom(samples, second.end()));
    }
}

TEST_F(MediaPlayerPlayback, DisablingThePlayerDoesNotSilenceTheCue)
{
    player.setFileName(QStringLiteral("Long.wav"));
    player.open();
    player.play();
    player.setEnabled(false);
    EXPECT_FALSE(player.enabled());

    const std::vector<qint16> samples = waitForEndOfSound(longFrames);
    EXPECT_EQ(follow(samples, 0, rising).length, longFrames);
}

TEST_F(MediaPlayerPlayback, ClosingOrDestroyingThePlayerEndsASoundingCue)
{
    const struct {
        const char* name;
        std::function<void(std::unique_ptr<TMediaPlayer>&)> end;
    } cases[] = {
        {"closed", [](auto& owned) { owned->close(); }},
        {"destroyed", [](auto& owned) { owned.reset(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        startCapture();
        auto owned = std::make_unique<TMediaPlayer>();
        owned->setFileName(QStringLiteral("Long.wav"));
        owned->open();
        owned->play();
        waitForSoundUnderway();
        c.end(owned);

        const std::vector<qint16> samples = waitForEndOfSound(underway);
        const Stretch cue = follow(samples, 0, rising);
        EXPECT_LT(cue.length, longFrames);
        EXPECT_TRUE(silentFrom(samples, cue.end()));
    }
}

TEST_F(MediaPlayerPlayback, ClosingTheAudioAtExitEndsASoundingCue)
{
    openAndPlay(QStringLiteral("Long.wav"));
    waitForSoundUnderway();
    shutDownAudio();

    // The device has written its last frames once it is closed.
    const std::vector<qint16> samples = capturedSince(mark);
    const Stretch cue = follow(samples, 0, rising);
    EXPECT_GE(cue.length, underway);
    EXPECT_LT(cue.length, longFrames);
    EXPECT_TRUE(silentFrom(samples, cue.end()));

    // A cue opened before the device closed cannot start; that is recorded, not raised.
    EXPECT_NO_THROW(player.play());
    EXPECT_FALSE(player.lastError().isEmpty());
    EXPECT_NO_THROW(audioDeviceFormat());
}

TEST_F(MediaPlayerPlayback, FailedOpenStopsTheCueAndLeavesThePlayerClosed)
{
    openAndPlay(QStringLiteral("Long.wav"));
    waitForSoundUnderway();
    player.setFileName(QStringLiteral("Missing.wav"));
    try {
        player.open();
        ADD_FAILURE() << "a missing cue opened";
    } catch (const EMCIDeviceError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("Missing.wav")));
        EXPECT_EQ(player.lastError(), error.message());
    }
    EXPECT_FALSE(player.isOpen());
    EXPECT_NO_THROW(player.play());
    EXPECT_FALSE(player.lastError().isEmpty());

    const std::vector<qint16> samples = waitForEndOfSound(underway);
    const Stretch cue = follow(samples, 0, rising);
    EXPECT_LT(cue.length, longFrames);
    EXPECT_TRUE(silentFrom(samples, cue.end()));
}

TEST(MediaPlayer, StartsClosedAndEnabledWithoutAFileName)
{
    const TMediaPlayer player;
    EXPECT_FALSE(player.isOpen());
    EXPECT_TRUE(player.enabled());
    EXPECT_TRUE(player.fileName().isEmpty());
    EXPECT_TRUE(player.lastError().isEmpty());
}

} // namespace
