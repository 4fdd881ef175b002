// The cues of a real practice through SDL's disk driver: what the user hears, sample for sample.
#include "platform/Audio.h"
#include "tests/forms/PracticeRunner.h"
#include "tests/support/DiskCapture.h"
#include "tests/support/Wav.h"

#include <QEventLoop>

#include <algorithm>
#include <cstdlib>

using namespace tolvane;
using namespace tolvane::test;

namespace {

DiskCapture* const disk = captureAudioOnDisk();

// A cue's samples from its first audible one; the device converts them to stereo within this.
constexpr int rounding = 2;

std::vector<qint16> cueFrom(const char* name)
{
    const Pcm16 cue = readWav(QStringLiteral(TOLVANE_CUES_DIR "/") + QLatin1String(name));
    const auto first = std::find_if(cue.samples.begin(), cue.samples.end(),
                                    [](qint16 sample) { return std::abs(sample) > rounding; });
    return {first, cue.samples.end()};
}

// How many samples from `at` on follow the cue from its start.
qsizetype matching(const std::vector<qint16>& heard, qsizetype at, const std::vector<qint16>& cue)
{
    qsizetype n = 0;
    while (at + n < qsizetype(heard.size()) && n < qsizetype(cue.size()) &&
           std::abs(heard[size_t(at + n)] - cue[size_t(n)]) <= rounding)
        ++n;
    return n;
}

qsizetype firstAudible(const std::vector<qint16>& heard, qsizetype from)
{
    return std::find_if(heard.begin() + from, heard.end(),
                        [](qint16 sample) { return std::abs(sample) > rounding; }) -
           heard.begin();
}

struct Heard {
    QString cue;
    qsizetype at;     // sample of its first audible one
    qsizetype frames; // how long it was heard
};

// Every cue heard from its start for more than a moment (50 ms), in order.
std::vector<Heard> cuesHeard(const std::vector<qint16>& heard)
{
    std::vector<std::pair<QString, std::vector<qint16>>> cues;
    for (const char* name : {"Delay.wav", "Inhale.wav", "Check.wav", "Exhale.wav", "Exit.wav"})
        cues.emplace_back(QLatin1String(name), cueFrom(name));
    std::vector<Heard> found;
    for (qsizetype at = 0; at < qsizetype(heard.size()); ++at) {
        for (const auto& [name, cue] : cues) {
            if (const qsizetype n = matching(heard, at, cue); n > captureSampleRate / 20) {
                found.push_back({name, at, n});
                at += n - 1;
                break;
            }
        }
    }
    return found;
}

class PracticeSoundTest : public PracticeFixture {
protected:
    void SetUp() override
    {
        PracticeFixture::SetUp();
        // One-second phases without holds: Puraka, then Rechaka.
        writeSettings("\"intPrInhale\"=dword:00000001\n\"intPrExhale\"=dword:00000001\n"
                      "\"blCheckOne\"=dword:00000000\n\"blCheckTwo\"=dword:00000000\n");
        window->FormCreate();
        const qsizetype before = capturedFrames();
        waitUntil([&] { return capturedFrames() >= before + 3 * 1024; });
        m_mark = capturedFrames();
    }
    std::vector<qint16> heard() const { return capturedSince(m_mark); }
    bool heardAtLeast(qsizetype frames) const
    {
        const auto samples = heard();
        return qsizetype(samples.size()) > firstAudible(samples, 0) + frames;
    }

    qsizetype m_mark = 0;
};

TEST_F(PracticeSoundTest, StartSoundsInhaleAndARechakaCutsItOffWithExhale)
{
    const auto inhale = cueFrom("Inhale.wav");
    const auto exhale = cueFrom("Exhale.wav");
    startPranayama();
    runFor(1);
    ASSERT_TRUE(waitUntil([&] { return heardAtLeast(4000); }));
    // The first Puraka lasts two seconds on the practice's clock; the Rechaka's cue follows at
    // once in real time, while Inhale.wav is still sounding.
    runFor(2100);
    EXPECT_EQ(panel(1), QStringLiteral("Rechaka"));
    ASSERT_TRUE(waitUntil([&] { return heardAtLeast(4000 + qsizetype(exhale.size()) + 4096); }));

    const auto samples = heard();
    const qsizetype start = firstAudible(samples, 0);
    const qsizetype inhaled = matching(samples, start, inhale);
    EXPECT_GE(inhaled, 4000);
    EXPECT_LT(inhaled, qsizetype(inhale.size())) << "Inhale.wav was not cut off";
    // Exhale.wav's own quiet lead-in comes first, and the device takes the new sound at its next
    // buffer, while the file is opened; the buffer before may hold a little silence.
    const qsizetype leadIn = firstAudible(readWav(QStringLiteral("Exhale.wav")).samples, 0);
    const qsizetype buffer = platform::audioDeviceFormat().bufferFrames;
    bool exhaleFollowsWhole = false;
    for (qsizetype at = start + inhaled - 8; at < start + inhaled + leadIn + 2 * buffer; ++at)
        exhaleFollowsWhole |= matching(samples, at, exhale) == qsizetype(exhale.size());
    EXPECT_TRUE(exhaleFollowsWhole);
}

TEST_F(PracticeSoundTest, StopLetsTheSoundingCuePlayToItsEndAndNothingFollows)
{
    const auto inhale = cueFrom("Inhale.wav");
    startPranayama();
    runFor(1);
    ASSERT_TRUE(waitUntil([&] { return heardAtLeast(2000); }));
    window->Stop1Click();
    ASSERT_TRUE(waitUntil([&] { return heardAtLeast(qsizetype(inhale.size()) + 8192); }));

    const auto samples = heard();
    const qsizetype start = firstAudible(samples, 0);
    EXPECT_EQ(matching(samples, start, inhale), qsizetype(inhale.size()));
    EXPECT_EQ(firstAudible(samples, start + qsizetype(inhale.size())), qsizetype(samples.size()));
}

// "Two Kumbhakas" of 3-0-3-0: the holds stand for a tick each, so each of their cues is cut off
// at once by the next breath's, and the practice sounds Inhale, Exhale, Inhale and Exit, three
// seconds apart (the first Puraka lasts a second more). The breaths alone would leave room for
// long sound buffers, through which a cut-off would come late; the holds leave none. On the real
// clock and the real timer.
TEST_F(PracticeSoundTest, HoldsOfNoLengthAreCutOffAtOnceByTheBreathThatFollows)
{
    writeSettings("\"blCheckOne\"=dword:00000001\n\"blCheckTwo\"=dword:00000001\n"
                  "\"intPrInhale\"=dword:00000003\n\"intCheckOne\"=dword:00000000\n"
                  "\"intPrExhale\"=dword:00000003\n\"intCheckTwo\"=dword:00000000\n"
                  "\"blDelay\"=dword:00000000\n\"blAuto\"=dword:00000000\n"
                  "\"blAutoTwo\"=dword:00000000\n"
                  "\"tTotalTime\"=hex:29,51,ce,a0,c8,45,18,3f\n"); // 8 s
    window = std::make_unique<TPranayama>(platform::systemClock());
    window->setSplashScreen([](QWidget*) {});
    window->FormCreate();
    window->Beginbreathing1Click();
    QEventLoop practising;
    QObject::connect(timer1(), &QTimer::timeout, &practising, [&] {
        if (!timer1()->isActive())
            practising.quit();
    });
    QTimer::singleShot(std::chrono::seconds(20), &practising, &QEventLoop::quit);
    practising.exec();
    ASSERT_EQ(panel(1), QStringLiteral("The end"));
    ASSERT_TRUE(waitUntil([&] { return capturedFrames() > m_mark + 10 * captureSampleRate; }));

    // Heard for more than a moment: the breaths and the Exit. Nothing else sounds but the hold's
    // cue before a breath, cut off within 20 ms.
    const std::vector<qint16> samples = heard();
    const std::vector<Heard> heardLong = cuesHeard(samples);
    QStringList cues;
    qsizetype quietFrom = 0;
    for (const Heard& cue : heardLong) {
        cues << cue.cue;
        EXPECT_GE(firstAudible(samples, quietFrom), cue.at - captureSampleRate / 50)
            << "before " << cue.cue.toStdString() << " at sample " << cue.at;
        quietFrom = cue.at + cue.frames;
    }
    ASSERT_EQ(cues,
              (QStringList{u"Inhale.wav"_qs, u"Exhale.wav"_qs, u"Inhale.wav"_qs, u"Exit.wav"_qs}));
    // The disk driver writes at a pace of its own, near real time: it is measured over the
    // practice, from the Inhale at its start to the Exit at its end, 8 s later. Each of these
    // and the breaths is heard from one of the device's buffers of 11.6 ms.
    const double framesPerSecond = double(heardLong[3].at - heardLong[0].at) / 8.0;
    const double dueSeconds[] = {4.0, 7.0};
    for (int breath = 0; breath < 2; ++breath) {
        const double seconds =
            double(heardLong[size_t(breath + 1)].at - heardLong[0].at) / framesPerSecond;
        EXPECT_NEAR(seconds, dueSeconds[breath], 0.04) << "breath " << breath + 1;
    }
}

} // namespace
