#include "tests/support/DiskCapture.h"

#include "platform/Audio.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <QtEndian>

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
    m_keepReady = std::make_unique<QTimer>();
    QObject::connect(m_keepReady.get(), &QTimer::timeout, &platform::prepareAudioOutput);
    m_keepReady->start(100);
}

void DiskCapture::TearDown()
{
    m_keepReady.reset();
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
    char buffer[16384];
    pollfd waiting{pipe, POLLIN, 0};
    while (!m_stopReading) {
        if (::poll(&waiting, 1, 20) <= 0)
            continue;
        const ssize_t n = ::read(pipe, buffer, sizeof buffer);
        if (n > 0)
            capture.write(buffer, n);
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
