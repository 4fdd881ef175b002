#pragma once

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace tolvane::test {

// What SDL's disk driver captures: it writes what a device plays in real time. The driver starts
// its file afresh at every open of a device, which closes while nothing sounds, so it writes to a
// pipe that a reader holds open and appends to the capture, open after open; and the reader fills
// the time that no device writes with silence, so the capture holds one timeline.
// The driver is chosen once per process, so tests that use it have their own executable and call
// captureAudioOnDisk() once, before any sound opens.
inline constexpr int captureSampleRate = 44100;
inline constexpr int captureBytesPerFrame = 4; // 16-bit stereo, checked when the device opens

class DiskCapture : public testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
    QString capturePath() const { return m_dir.filePath(QStringLiteral("capture.raw")); }

private:
    void copyFromPipe(int pipe);

    QTemporaryDir m_dir;
    std::thread m_reader;
    std::atomic<bool> m_stopReading = false;
};

DiskCapture* captureAudioOnDisk();

// What the device has played since a frame, one channel.
std::vector<qint16> capturedSince(qsizetype fromFrame, int channel = 0);
qsizetype capturedFrames();

// Polls until done() holds, for at most ten seconds.
bool waitUntil(const std::function<bool()>& done);

} // namespace tolvane::test
