#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <optional>

namespace tolvane::platform {

// The format the process-wide output device plays in, as the audio driver granted it.
struct AudioDeviceFormat {
    QString driver;
    int sampleRate = 0;
    int channels = 0;
    int bytesPerSample = 0;
    bool floatingPoint = false;
    // Sample frames the driver asks for at a time; a new cue cuts off the one that sounds within
    // about one such buffer.
    int bufferFrames = 0;
};

// One WAV file decoded and converted to the output device's format, so that it can start at
// once. One clip sounds at a time in the whole process: playing a clip cuts off the one that
// sounds and starts this one from its beginning. Playback runs on the audio driver's thread.
class AudioClip {
public:
    // Reads and decodes the whole file before it returns, opening the output device on first use.
    // Throws EMCIDeviceError with the audio back end's text when the file cannot be read, is not
    // a WAV file the back end can decode or no output device can be opened.
    explicit AudioClip(const QString& path);
    // Silences the clip if it sounds.
    ~AudioClip();
    AudioClip(const AudioClip&) = delete;
    AudioClip& operator=(const AudioClip&) = delete;

    // Returns at once, opening the output device again if it closed while nothing sounded. Throws
    // EMCIDeviceError when the device the clip was opened for is gone.
    void play();
    void stop();
    bool isSounding() const;
    std::chrono::milliseconds duration() const;

private:
    QByteArray m_samples;
    quint64 m_deviceGeneration = 0;
    int m_bytesPerFrame = 1;
    int m_sampleRate = 1;
};

// Reads and decodes a file as opening a clip of it does, without playing it, so that a later open
// of the unchanged file finds it decoded. A failure is left to that open to report.
void prepareClip(const QString& path) noexcept;

// Makes the output device ready for a cue due in `dueIn` (up to a second), so that the cue starts
// the moment it plays: the device waits for it without waking. When no other cue follows for
// `quietAfter` from then, longer than the longest clip opened, the device takes the cue in long
// buffers and wakes a few times for it. The device is open only while a clip sounds or one is
// due: it closes again by itself a moment after the last sound has ended, or a fifth of a second
// after the cue was due if no clip plays, and a later play opens it again. A failure is left to
// the clip that plays.
void prepareAudioOutput(std::chrono::milliseconds dueIn, std::chrono::milliseconds quietAfter =
                                                             std::chrono::milliseconds(0)) noexcept;

// The format the output device plays in, opening it if none was open since the audio back end
// started; throws EMCIDeviceError when it cannot.
AudioDeviceFormat audioDeviceFormat();

// When the driver's thread first took samples of the clip that play() started last, on the
// steady clock; empty until it has. Tells how long a cue waits before it is heard.
std::optional<std::chrono::steady_clock::time_point> firstSamplesTakenAt();

// Closes the output device and the audio back end, which ends any sound; clips opened before no
// longer play. The next clip opens them again. This happens by itself when the application
// object is destroyed and at the end of the process.
void shutDownAudio();

} // namespace tolvane::platform
