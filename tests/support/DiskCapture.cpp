#include "tests/support/DiskCapture.h"

#include "platform/Audio.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QtEndian>

#include <chrono>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvane::test {

namespace {

DiskCapture* capture = nullptr;

} // namespace

void DiskCapture::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    const QByteArray pipePath = QFile::encodeName(m_dir.filePath(QStringLiteral("device.pipe")));
    ASSERT_EQ(::mkfifo(pipePath.constData(), 0600), 0);
    // Read and write, so that the pipe never ends while the device is closed.
    const int pipe = ::open(pipePath.constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(pipe, 0);
    m_reader = std::thread([this, pipe] { copyFromPipe(pipe); });
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", pipePath);
    const platform::AudioDeviceFormat format = platform::audioDeviceFormat();
    ASSERT_EQ(format.driver, QStringLiteral("disk"));
    ASSERT_EQ(format.sampleRate, captureSampleRate);
    ASSERT_EQ(format.channels * format.bytesPerSample, captureBytesPerFrame);
    ASSERT_FALSE(format.floatingPoint);
}

void DiskCapture::TearDown()
{
    platform::shutDownAudio();
    m_stopReading = true;
    if (m_reader.joinable())
        m_reader.join();
}

void DiskCapture::copyFromPipe(int pipe)
{
    QFile capture(capturePath());
    if (!capture.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        ::close(pipe);
        return;
    }
    // Between sounds the device writes nothing: after a pause in its writes, which come every
    // buffer or two while it plays, the capture is filled with silence up to a little before now.
    constexpr qint64 behindFrames = captureSampleRate / 10;
    constexpr auto pause = std::chrono::milliseconds(60);
    const auto started = std::chrono::steady_clock::now();
    auto lastWrite = started;
    qint64 bytes = 0;
    const auto fillAfterAPause = [&](std::chrono::steady_clock::time_point now) {
        const qint64 due =
            qint64(std::chrono::duration<double>(now - started).count() * captureSampleRate) -
            behindFrames;
        if (now - lastWrite < pause || bytes % captureBytesPerFrame != 0 ||
            bytes / captureBytesPerFrame >= due)
            return;
        const QByteArray silence((due - bytes / captureBytesPerFrame) * captureBytesPerFrame, 0);
        capture.write(silence);
        bytes += silence.size();
    };
    char buffer[16384];
    pollfd waiting{pipe, POLLIN, 0};
    while (!m_stopReading) {
        const bool ready = ::poll(&waiting, 1, 20) > 0;
        const auto now = std::chrono::steady_clock::now();
        fillAfterAPause(now);
        if (!ready)
            continue;
        const ssize_t n = ::read(pipe, buffer, sizeof buffer);
        if (n > 0) {
            bytes += capture.write(buffer, n);
            lastWrite = now;
        }
    }
    ::close(pipe);
}

DiskCapture* captureAudioOnDisk()
{
    if (!capture)
        capture = static_cast<DiskCapture*>(testing::AddGlobalTestEnvironment(new DiskCapture));
    return capture;
}

std::vector<qint16> capturedSince(qsizetype fromFrame, int channel)
{
    QFile file(capture->capturePath());
    if (!file.open(QIODevice::ReadOnly) || !file.seek(fromFrame * captureBytesPerFrame))
        return {};
    const QByteArray bytes = file.readAll();
    std::vector<qint16> samples;
    for (qsizetype at = channel * 2; at + 2 <= bytes.size(); at += captureBytesPerFrame)
        samples.push_back(qFromLittleEndian<qint16>(bytes.constData() + at));
    return samples;
}

qsizetype capturedFrames()
{
    return QFile(capture->capturePath()).size() / captureBytesPerFrame;
}

bool waitUntil(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.hasExpired(10000))
            return false;
        QThread::msleep(5);
    }
    return true;
}

} // namespace tolvane::test
