#include "platform/Audio.h"
#include "platform/Errors.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/Wav.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <thread>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tolvane;
using namespace tolvane::platform;
using namespace tolvane::test;

namespace {

const QStringList cueNames{QStringLiteral("Delay.wav"), QStringLiteral("Inhale.wav"),
                           QStringLiteral("Check.wav"), QStringLiteral("Exhale.wav"),
                           QStringLiteral("Exit.wav")};

QString cuePath(const QString& name)
{
    return QDir(QStringLiteral(TOLVANE_CUES_DIR)).filePath(name);
}

Pcm16 tone(double seconds)
{
    Pcm16 sound;
    for (int i = 0; i < int(seconds * sound.sampleRate); ++i)
        sound.samples.push_back(qint16(8000 * std::sin(i * 0.05)));
    return sound;
}

// Sign changes of the first channel between two times: twice the pitch, for a plain tone.
int zeroCrossings(const Pcm16& sound, double from, double to)
{
    int crossings = 0;
    int previous = 0;
    for (auto frame = qsizetype(from * sound.sampleRate); frame < qsizetype(to * sound.sampleRate);
         ++frame) {
        const int sample = sound.samples[size_t(frame * sound.channels)];
        if (sample != 0) {
            crossings += (previous < 0) != (sample < 0) && previous != 0;
            previous = sample;
        }
    }
    return crossings;
}

int peak(const std::vector<qint16>& samples)
{
    int highest = 0;
    for (const qint16 sample : samples)
        highest = std::max(highest, std::abs(int(sample)));
    return highest;
}

TEST(ShippedCues, AreShortCdQualityAndFadeInAndOut)
{
    for (const QString& name : cueNames) {
        SCOPED_TRACE(name.toStdString());
        const Pcm16 cue = readWav(cuePath(name));
        ASSERT_FALSE(cue.samples.empty());
        EXPECT_EQ(cue.sampleRate, 44100);
        EXPECT_TRUE(cue.channels == 1 || cue.channels == 2);
        const double seconds = double(cue.frames()) / cue.sampleRate;
        EXPECT_GE(seconds, 0.3);
        EXPECT_LE(seconds, 1.5);
        // Loud enough to hear over breathing, with headroom so nothing clips.
        EXPECT_GT(peak(cue.samples), 32767 / 8);
        EXPECT_LT(peak(cue.samples), 32767 * 9 / 10);
        // Soft edges, no click: the sound starts and ends at silence and swells over more than
        // a millisecond.
        const auto edge = std::ptrdiff_t(cue.sampleRate / 1000 * cue.channels);
        EXPECT_LT(std::abs(cue.samples.front()), 100);
        EXPECT_LT(std::abs(cue.samples.back()), 100);
        EXPECT_LT(peak({cue.samples.begin(), cue.samples.begin() + edge}), peak(cue.samples) / 5);
        EXPECT_LT(peak({cue.samples.end() - edge, cue.samples.end()}), peak(cue.samples) / 5);
    }
}

TEST(ShippedCues, AreAllDifferent)
{
    for (qsizetype a = 0; a < cueNames.size(); ++a)
        for (qsizetype b = a + 1; b < cueNames.size(); ++b)
            EXPECT_NE(readWav(cuePath(cueNames[a])).samples, readWav(cuePath(cueNames[b])).samples)
                << cueNames[a].toStdString() << " and " << cueNames[b].toStdString();
}

TEST(ShippedCues, InhaleRisesAndExhaleFalls)
{
    const Pcm16 inhale = readWav(cuePath(QStringLiteral("Inhale.wav")));
    const Pcm16 exhale = readWav(cuePath(QStringLiteral("Exhale.wav")));
    EXPECT_GT(zeroCrossings(inhale, 0.6, 0.8), zeroCrossings(inhale, 0.1, 0.3) * 9 / 8);
    EXPECT_LT(zeroCrossings(exhale, 0.6, 0.8) * 9 / 8, zeroCrossings(exhale, 0.1, 0.3));
}

TEST(ShippedCues, OpenAsClipsOfTheirOwnLength)
{
    for (const QString& name : cueNames) {
        SCOPED_TRACE(name.toStdString());
        const Pcm16 cue = readWav(cuePath(name));
        const AudioClip clip(cuePath(name));
        EXPECT_NEAR(double(clip.duration().count()), 1000.0 * double(cue.frames()) / cue.sampleRate,
                    2.0);
        EXPECT_FALSE(clip.isSounding());
    }
}

class AudioFailureTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString write(const QString& name, const QByteArray& bytes)
    {
        writeFile(dir.filePath(name), bytes);
        return dir.filePath(name);
    }

    // The text an open of the file fails with, or an empty text when it does not fail.
    static QString openFailure(const QString& path)
    {
        try {
            const AudioClip clip(path);
        } catch (const EMCIDeviceError& error) {
            return error.message();
        }
        return {};
    }

    QTemporaryDir dir;
};

// A data chunk that claims more than the file holds plays the whole frames there are: a WAV
// written as a stream keeps its lengths at their largest. The claim is never allocated.
TEST_F(AudioFailureTest, SoundCutShortPlaysItsWholeFrames)
{
    const QByteArray wav = wavBytes(tone(0.9));
    const auto withLengths = [&](quint32 riff, quint32 data) {
        QByteArray bytes = wav;
        qToLittleEndian(riff, bytes.data() + 4);
        qToLittleEndian(data, bytes.data() + 40);
        return bytes;
    };
    Pcm16 stereo = tone(0.5);
    stereo.channels = 2;
    QByteArray partialFrame = wavBytes(stereo) + "\1\2";
    qToLittleEndian(quint32(partialFrame.size() - 8), partialFrame.data() + 4);
    qToLittleEndian(quint32(partialFrame.size() - 44), partialFrame.data() + 40);
    const struct {
        const char* name;
        QByteArray bytes;
        int ms;
    } cases[] = {
        {"streamed by sox", withLengths(0x7ffff024, 0x7ffff000), 900},
        {"streamed by ffmpeg", withLengths(0xffffffff, 0xffffffff), 900},
        {"cut short within a frame", wav.left(44 + 2 * 4410 + 1), 100},
        {"ending in a partial frame", partialFrame, 250},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AudioClip clip(write(QStringLiteral("Cue.wav"), c.bytes));
        EXPECT_NEAR(double(clip.duration().count()), c.ms, 1.0);
        clip.play();
        EXPECT_TRUE(clip.isSounding());
    }
}

TEST_F(AudioFailureTest, ChunkClaimingMoreThanTheFileHoldsPlaysWhatIsThere)
{
    // Found by fuzzing: 138 bytes of mu-law whose data chunk claims almost 4 GiB, which the back
    // end allocated before noticing the file was short.
    const QByteArray wav = QByteArray::fromBase64(
        "UklGRoIAAABXQVZFZm10IBIAAAAHAAEAQB8AAEAfAAABAAgAAABmYWN0BAAAAFAAAABkYXRhUP////////+HiYyRn9"
        "YjFAwJCQsQHUemlY2KiYuPnL0pFg0KCQsPGzirl46KiYqOmrIuGA4KCQoOGC6ymY6KiYqOl6w4Gw8LCQoNFim9nI+L"
        "iYqM");
    ASSERT_EQ(wav.size(), 138);
    EXPECT_EQ(AudioClip(write(QStringLiteral("Bad.wav"), wav)).duration().count(), 10); // 8 kHz
}

TEST_F(AudioFailureTest, ChunkOfABareWaveClaimingMoreThanTheFileHoldsPlaysWhatIsThere)
{
    // Found by fuzzing: the back end also takes "WAVE" without the RIFF header before it, and
    // allocated the 2 GiB that this data chunk claims.
    const QByteArray wav = QByteArray::fromBase64(
        "V0FWRWZtdCASAAAABwABAEAfAABAHwAAAQAIAAAAZmFjdAQAAABQAAAAZGF0YQAAAIKCfn5+fn5+fn5+fn5+fmYAAA"
        "AAAAAAfn5+fn5+fn5+fn5+fn5+fn5+fn5+fn5+fn5+fn5+f35+fn5+fn5+fn5+fn5+fn5+fn4pvVM=");
    ASSERT_EQ(wav.size(), 125);
    EXPECT_EQ(AudioClip(write(QStringLiteral("Bad.wav"), wav)).duration().count(), 9);
}

TEST_F(AudioFailureTest, SoundWithAnEmptyDataChunkIsToldToHoldNoSound)
{
    // Found by fuzzing: mu-law with a "data" chunk of no bytes, which the back end decodes to no
    // buffer at all; copying from it was undefined.
    const QByteArray wav = QByteArray::fromBase64(
        "UklGRoIAAABXQVZFZm10IBIAAAAHAAEAQB8AAEAfAAABAAgAAABmYWN0BAAAAFAAAABkYXRhAAAAAAAAACdQAAAA"
        "0aGSjImJjJGf1iMUDAkJCxAdR6aVjYqJi4+cvSkWDQoJCw8bOKuXjoqJio6asi4YDgoJCg4YLrKZjoqJio6XrDgb"
        "DwsJCg0WKb2cj4uJiow=");
    ASSERT_EQ(wav.size(), 146);
    const QString path = write(QStringLiteral("Empty.wav"), wav);
    EXPECT_EQ(openFailure(path), path + u" holds no sound");
}

TEST_F(AudioFailureTest, OpeningACueReservesNoMoreMemoryThanItNeeds)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves its shadow memory beyond any address space limit";
#else
    // The child may map only 128 MiB more than it already has: a cue of 100 KiB must fit, and so
    // must one written as a stream, whose data chunk claims 4 GiB.
    QByteArray streamed = wavBytes(tone(0.2));
    streamed.replace(40, 4, "\xff\xff\xff\xff");
    const pid_t child = ::fork();
    if (child == 0) {
        QFile statm(QStringLiteral("/proc/self/statm"));
        const bool read = statm.open(QIODevice::ReadOnly);
        const rlim_t mapped = rlim_t(statm.readAll().split(' ').value(0).toULongLong()) *
                              rlim_t(::sysconf(_SC_PAGESIZE));
        const rlimit limit{mapped + (128u << 20), mapped + (128u << 20)};
        ::_exit(read && ::setrlimit(RLIMIT_AS, &limit) == 0 &&
                        openFailure(QStringLiteral(TOLVANE_CUES_DIR "/Exit.wav")).isEmpty() &&
                        openFailure(write(QStringLiteral("Streamed.wav"), streamed)).isEmpty()
                    ? 0
                    : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
#endif
}

TEST_F(AudioFailureTest, MissingFileIsNamedInTheError)
{
    const QString text = openFailure(QStringLiteral("NoSuchCue.wav"));
    EXPECT_TRUE(text.contains(QStringLiteral("NoSuchCue.wav"))) << text.toStdString();
}

TEST_F(AudioFailureTest, UnreadableFilesFailWithTheBackEndsText)
{
    QByteArray wav = wavBytes(tone(0.2));
    QByteArray noChannels = wav;
    noChannels[22] = 0; // fmt channel count
    QByteArray unknownEncoding = wav;
    unknownEncoding[20] = 0x77; // fmt format tag
    unknownEncoding[21] = 0x77;
    QByteArray streamWithoutSound = wav.left(44);
    streamWithoutSound.replace(40, 4, "\xff\xff\xff\x7f");
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty", {}},
        {"text", "Breathe in, hold, breathe out.\n"},
        {"format chunk longer than the file", wav.left(30)},
        {"header only", wav.left(44)},
        {"no channels", noChannels},
        {"unknown encoding", unknownEncoding},
        {"stream stopped before its sound", streamWithoutSound},
        {"less than a frame", streamWithoutSound + '\1'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString text = openFailure(write(QStringLiteral("Bad.wav"), c.bytes));
        EXPECT_FALSE(text.isEmpty());
    }
}

// Cues are opened again and again; each open must take the file as it is at that moment.
TEST_F(AudioFailureTest, CueReplacedOnDiskIsOpenedAsItIsNow)
{
    const QByteArray shortTone = wavBytes(tone(0.2));
    const QString path = write(QStringLiteral("Cue.wav"), shortTone);
    EXPECT_NEAR(double(AudioClip(path).duration().count()), 200.0, 2.0);
    EXPECT_NEAR(double(AudioClip(path).duration().count()), 200.0, 2.0);
    write(QStringLiteral("Cue.wav"), wavBytes(tone(0.5)));
    EXPECT_NEAR(double(AudioClip(path).duration().count()), 500.0, 2.0);
    write(QStringLiteral("Cue.wav"), shortTone.left(44 + 2 * 4410));
    EXPECT_NEAR(double(AudioClip(path).duration().count()), 100.0, 2.0);
    write(QStringLiteral("Cue.wav"), shortTone);
    EXPECT_NEAR(double(AudioClip(path).duration().count()), 200.0, 2.0);
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_TRUE(openFailure(path).contains(QStringLiteral("Cue.wav")));
}

// A cue that has stood unchanged for a while is then known by its file stamp rather than by its
// bytes. Rewriting it in place with as many bytes must still be noticed, both at once, while its
// coarse time stamps may not have moved, and after it had settled.
TEST_F(AudioFailureTest, CueRewrittenInPlaceWithAsManyBytesIsOpenedAsItIsNow)
{
    const QByteArray cue = wavBytes(tone(0.2));
    QByteArray slower = cue; // half the sample rate in the header: the same samples last 0.4 s
    qToLittleEndian<quint32>(22050, slower.data() + 24);
    qToLittleEndian<quint32>(22050 * 2, slower.data() + 28);
    const auto durationMs = [](const QString& path) {
        return double(AudioClip(path).duration().count());
    };

    const QString path = write(QStringLiteral("Cue.wav"), cue);
    EXPECT_NEAR(durationMs(path), 200.0, 2.0);
    writeFile(path, slower);
    EXPECT_NEAR(durationMs(path), 400.0, 2.0);

    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    EXPECT_NEAR(durationMs(path), 400.0, 2.0);
    EXPECT_NEAR(durationMs(path), 400.0, 2.0);
    writeFile(path, cue);
    EXPECT_NEAR(durationMs(path), 200.0, 2.0);
}

TEST_F(AudioFailureTest, PreparingLeavesFailuresToTheOpenThatPlays)
{
    const QString damaged = write(QStringLiteral("Damaged.wav"), "RIFF");
    prepareClip(damaged);
    prepareClip(dir.filePath(QStringLiteral("Missing.wav")));
    EXPECT_FALSE(openFailure(damaged).isEmpty());
    const QString cue = write(QStringLiteral("Cue.wav"), wavBytes(tone(0.3)));
    prepareClip(cue);
    EXPECT_NEAR(double(AudioClip(cue).duration().count()), 300.0, 2.0);
}

TEST_F(AudioFailureTest, FileInAnotherFormatIsConvertedNotRejected)
{
    Pcm16 stereo;
    stereo.sampleRate = 22050;
    stereo.channels = 2;
    stereo.samples.assign(22050, 1000);
    const AudioClip clip(write(QStringLiteral("Stereo.wav"), wavBytes(stereo)));
    EXPECT_NEAR(double(clip.duration().count()), 500.0, 2.0);
}

class AudioDeviceTest : public testing::Test {
protected:
    void TearDown() override
    {
        qputenv("SDL_AUDIODRIVER", driver);
        shutDownAudio();
    }
    QByteArray driver = qgetenv("SDL_AUDIODRIVER");
};

TEST_F(AudioDeviceTest, BufferKeepsTheDelayBeforeACueShort)
{
    const AudioDeviceFormat format = audioDeviceFormat();
    ASSERT_GT(format.sampleRate, 0);
    EXPECT_GT(format.bufferFrames, 0);
    EXPECT_LE(format.bufferFrames * 1000 / format.sampleRate, 12);
    EXPECT_EQ(format.driver, QString::fromLatin1(driver));
}

TEST_F(AudioDeviceTest, NoOutputDeviceFailsTheOpenAndALaterOpenRecovers)
{
    const QString cue = cuePath(QStringLiteral("Check.wav"));
    shutDownAudio();
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    try {
        const AudioClip clip(cue);
        ADD_FAILURE() << "opened without an output device";
    } catch (const EMCIDeviceError& error) {
        EXPECT_FALSE(error.message().isEmpty());
    }
    qputenv("SDL_AUDIODRIVER", driver);
    EXPECT_NO_THROW(AudioClip{cue});
}

TEST_F(AudioDeviceTest, FirstSamplesOfEachPlayAreTakenWithinAFewBuffers)
{
    using namespace std::chrono;
    AudioClip clip(cuePath(QStringLiteral("Exhale.wav")));
    // The driver's thread takes samples on its own schedule, so this waits for it.
    const auto takenAfter = [](steady_clock::time_point start) {
        while (steady_clock::now() - start < 2s) {
            if (const auto taken = firstSamplesTakenAt(); taken && *taken >= start)
                return *taken - start;
            std::this_thread::sleep_for(1ms);
        }
        return duration_cast<steady_clock::duration>(1h);
    };
    for (int play = 0; play < 2; ++play) {
        SCOPED_TRACE(play);
        const auto start = steady_clock::now();
        clip.play();
        EXPECT_LT(takenAfter(start), 500ms);
    }
    // A play forgets the moment of the play before until the driver takes samples again.
    clip.stop();
    const auto restarted = steady_clock::now();
    clip.play();
    const auto taken = firstSamplesTakenAt();
    EXPECT_TRUE(!taken || *taken >= restarted);
    shutDownAudio();
    EXPECT_FALSE(firstSamplesTakenAt());
}

TEST_F(AudioDeviceTest, OpenDeviceLeavesTheProgramEndableBySignals)
{
    shutDownAudio();
    const AudioClip clip(cuePath(QStringLiteral("Check.wav")));
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        struct sigaction action {};
        ASSERT_EQ(sigaction(signal, nullptr, &action), 0);
        EXPECT_EQ(action.sa_handler, SIG_DFL);
    }
}

// An open device keeps a sound server and its sound card from suspending, so the device is open
// only while a cue is due or sounds; made ready ahead of a cue, its driver's thread does not wake
// until the cue plays, and then takes it at once. A clip plays again after the device has closed.
TEST_F(AudioDeviceTest, DeviceIsOpenOnlyWhileACueIsDueOrSounds)
{
    using namespace std::chrono;
    const auto threads = [] {
        return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    };
    const QStringList closed = threads();
    const auto driverThreads = [&] { return threads().size() - closed.size(); };
    // How often a thread has left the processor, as the kernel counts it.
    const auto switches = [](const QString& thread) {
        QFile status(QStringLiteral("/proc/self/task/%1/status").arg(thread));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        int count = 0;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.contains("ctxt_switches:"))
                count += line.split('\t').last().trimmed().toInt();
        }
        return count;
    };
    const auto closesWithin = [&](milliseconds span) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (driverThreads() == 0)
                loop.quit();
        });
        poll.start(5);
        QTimer::singleShot(span, &loop, &QEventLoop::quit);
        loop.exec();
        return driverThreads() == 0;
    };
    AudioClip clip(cuePath(QStringLiteral("Check.wav")));
    EXPECT_TRUE(closesWithin(2s)) << "open without a sound";

    // No other cue for ten seconds: the device takes this one in long buffers.
    prepareAudioOutput(1s, 10s);
    QStringList opened = threads();
    for (const QString& thread : closed)
        opened.removeOne(thread);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_FALSE(closesWithin(50ms));
    const int before = switches(opened.first());
    EXPECT_FALSE(closesWithin(300ms)) << "closed before the cue was due";
    EXPECT_LE(switches(opened.first()) - before, 1) << "woke while the cue was not yet due";
    const auto played = steady_clock::now();
    clip.play();
    while (!firstSamplesTakenAt() && steady_clock::now() - played < 1s)
        std::this_thread::sleep_for(100us);
    ASSERT_TRUE(firstSamplesTakenAt());
    EXPECT_LT(*firstSamplesTakenAt() - played, 5ms);
    const int taking = switches(opened.first());
    std::this_thread::sleep_until(played + clip.duration() * 4 / 5);
    EXPECT_LE(switches(opened.first()) - taking, 8) << "woke for short buffers of a lone cue";
    EXPECT_TRUE(closesWithin(3s)) << "open after the cue had ended";

    prepareAudioOutput(0ms);
    EXPECT_EQ(driverThreads(), 1);
    EXPECT_TRUE(closesWithin(2s)) << "open after the cue was due";

    for (int play = 0; play < 2; ++play) {
        SCOPED_TRACE(play);
        clip.play();
        EXPECT_TRUE(clip.isSounding());
        EXPECT_FALSE(closesWithin(clip.duration() / 2)) << "closed while the cue sounded";
        EXPECT_TRUE(closesWithin(2s)) << "open after the cue had ended";
        EXPECT_FALSE(clip.isSounding());
        EXPECT_TRUE(firstSamplesTakenAt());
    }
}

TEST_F(AudioDeviceTest, ClipOfAClosedDeviceDoesNotPlay)
{
    AudioClip clip(cuePath(QStringLiteral("Check.wav")));
    shutDownAudio();
    EXPECT_THROW(clip.play(), EMCIDeviceError);
    EXPECT_FALSE(clip.isSounding());
}

} // namespace
