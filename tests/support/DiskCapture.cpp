#include "tests/support/DiskCapture.h"

#include "platform/Audio.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <QtEndian>

namespace tolvane::test {

namespace {

DiskCapture* capture = nullptr;

} // namespace

void DiskCapture::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(capturePath()));
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
