// The cues of a real practice through SDL's disk driver: what the user hears, sample for sample.
#include "tests/forms/PracticeRunner.h"
#include "tests/support/DiskCapture.h"
#include "tests/support/Wav.h"

#include <QDir>

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

class PracticeSoundTest : public PracticeFixture {
protected:
    void SetUp() override
    {
        PracticeFixture::SetUp();
        m_previous = QDir::currentPath();
        QDir::setCurrent(QStringLiteral(TOLVANE_CUES_DIR));
        // One-second phases without holds: Puraka, then Rechaka.
        writeSettings("\"intPrInhale\"=dword:00000001\n\"intPrExhale\"=dword:00000001\n"
                      "\"blCheckOne\"=dword:00000000\n\"blCheckTwo\"=dword:00000000\n");
        window->FormCreate();
        const qsizetype before = capturedFrames();
        waitUntil([&] { return capturedFrames() >= before + 3 * 1024; });
        m_mark = capturedFrames();
    }
    void TearDown() override
    {
        QDir::setCurrent(m_previous);
        PracticeFixture::TearDown();
    }

    std::vector<qint16> heard() const { return capturedSince(m_mark); }
    bool heardAtLeast(qsizetype frames) const
    {
        const auto samples = heard();
        return qsizetype(samples.size()) > firstAudible(samples, 0) + frames;
    }

    QString m_previous;
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
    // Exhale.wav's own quiet lead-in comes first, and its file is read after Inhale.wav stops,
    // so its audible part starts a little later (up to a second on a slow, loaded machine).
    bool exhaleFollowsWhole = false;
    for (qsizetype at = start + inhaled - 8;
         at < start + inhaled + captureSampleRate && !exhaleFollowsWhole; ++at)
        exhaleFollowsWhole = matching(samples, at, exhale) == qsizetype(exhale.size());
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

} // namespace
