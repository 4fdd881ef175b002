#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace tolvane::platform {
class AudioClip;
}

namespace tolvane {

// The main window's hidden player of sound cues. It holds at most one open cue, the one named by
// FileName when it was opened; the process plays one cue at a time, so opening or playing a cue
// cuts off any other. Its enabled flag is kept for the window's command states and has no effect
// on playback.
class TMediaPlayer : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(TMediaPlayer)

public:
    explicit TMediaPlayer(QObject* parent = nullptr);
    // Closes the open cue, which ends it if it still sounds.
    ~TMediaPlayer() override;

    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    QString fileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }

    bool isOpen() const;

    // Closes the open cue first, then reads and decodes FileName before it returns. Throws
    // EMCIDeviceError when the file or the sound device cannot be opened; the player is then
    // closed.
    void open();
    // Starts the open cue from its beginning and returns at once. A failure is recorded in
    // lastError() instead of raised, and the cue stays silent.
    void play();
    void close();

    // The text of the last failed operation; empty after one that succeeded.
    QString lastError() const { return m_lastError; }

private:
    bool m_enabled = true;
    QString m_fileName;
    QString m_lastError;
    std::unique_ptr<platform::AudioClip> m_clip;
};

} // namespace tolvane
