#include "widgets/MediaPlayer.h"

#include "platform/Audio.h"
#include "platform/DataFiles.h"
#include "platform/Errors.h"

#include <QCoreApplication>

namespace tolvane {

TMediaPlayer::TMediaPlayer(QObject* parent)
    : QObject(parent)
{
}

TMediaPlayer::~TMediaPlayer() = default;

bool TMediaPlayer::isOpen() const
{
    return m_clip != nullptr;
}

void TMediaPlayer::open()
{
    close();
    try {
        m_clip = std::make_unique<platform::AudioClip>(platform::locateDataFile(m_fileName));
    } catch (const EMCIDeviceError& error) {
        m_lastError = error.message();
        throw;
    }
}

void TMediaPlayer::play()
{
    if (!m_clip) {
        m_lastError = QCoreApplication::translate("MediaPlayer", "The device is not open");
        return;
    }
    try {
        m_clip->play();
        m_lastError.clear();
    } catch (const EMCIDeviceError& error) {
        m_lastError = error.message();
    }
}

void TMediaPlayer::close()
{
    m_clip.reset();
    m_lastError.clear();
}

} // namespace tolvane
