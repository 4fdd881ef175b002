#pragma once

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

class QTimer;

namespace tolvane::test {

// What SDL's disk driver captures: it writes what the device plays to a file in real time. The
// driver starts its file afresh at every open of the device, which closes while nothing sounds, so
// the capture keeps the device ready while events are handled, and the file holds one timeline.
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
    QTemporaryDir m_dir;
    std::unique_ptr<QTimer> m_keepReady;
};

DiskCapture* captureAudioOnDisk();

// What the device has played since a frame, one channel.
std::vector<qint16> capturedSince(qsizetype fromFrame, int channel = 0);
qsizetype capturedFrames();

// Polls until done() holds, for at most ten seconds.
bool waitUntil(const std::function<bool()>& done);

} // namespace tolvane::test
