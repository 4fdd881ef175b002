#include "platform/Audio.h"

#include "platform/Errors.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QTimer>
#include <QtEndian>

#include <SDL.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include <pthread.h>
#include <sys/stat.h>

namespace tolvane::platform {

namespace {

// 16-bit stereo at CD rate suits every cue; the driver may grant another format, and each clip is
// converted to whatever it grants when it is opened. The driver's thread waits, costing nothing,
// until a cue is handed to it, and then takes the cue at once; the buffer bounds how long a new
// cue waits to cut off the one that sounds: 512 frames keep that under 12 ms, while the driver
// still has time to spare on a busy machine.
constexpr int requestedSampleRate = 44100;
constexpr Uint8 requestedChannels = 2;
constexpr Uint16 requestedBufferFrames = 512;
// A cue that no other can follow while it sounds is taken in buffers of some 370 ms instead, so
// that the driver's thread wakes a few times for it rather than 86 times a second; only a cut-off
// would wait for such a buffer, and none comes.
constexpr Uint16 calmBufferFrames = 16384;

// Minutes of sound, far beyond any cue, and small enough for the back end's int byte counts.
constexpr double maximumClipBytes = 512.0 * 1024 * 1024;

QString backEndError()
{
    const QString text = QString::fromUtf8(SDL_GetError());
    SDL_ClearError();
    return text.isEmpty() ? QCoreApplication::translate("Audio", "Unknown error code") : text;
}

[[noreturn]] void throwBackEndError()
{
    throw EMCIDeviceError(backEndError());
}

void mix(void* userData, Uint8* stream, int length);

int bytesPerFrame(SDL_AudioFormat format, int channels)
{
    return SDL_AUDIO_BITSIZE(format) / 8 * channels;
}

// Whether clips converted for one device play on the other; the buffers' size does not matter.
bool sameFormat(const SDL_AudioSpec& a, const SDL_AudioSpec& b)
{
    return a.freq == b.freq && a.format == b.format && a.channels == b.channels;
}

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// How long the device stays open once nothing sounds.
constexpr milliseconds idleHold{25};
// How long the device stays open, made ready, after a cue was due.
constexpr milliseconds readyHold{200};
// The furthest ahead the device is made ready for a cue.
constexpr milliseconds cueHold{1200};
// The silence the device plays after a sound before it waits, so that the sound's end is followed
// by silence before the device runs dry, and a file writer (SDL's disk driver), which holds back
// the last buffer or two it was given until more come, has passed the sound on.
constexpr milliseconds trailingSilence{20};

milliseconds framesTime(qsizetype frames, int sampleRate)
{
    return milliseconds(frames * 1000 / std::max(sampleRate, 1));
}

struct OutputDevice;

// A device opened with the driver. Its thread calls mix() for every buffer while the device is
// open, silence or not; mix() keeps it waiting on `wake` while nothing sounds, so that a device
// made ready ahead of a cue costs nothing until the cue, and the cue starts as soon as play()
// hands it over, not at the next buffer.
struct Stream {
    explicit Stream(OutputDevice& owner)
        : device(owner)
    {
    }

    OutputDevice& device;
    SDL_AudioDeviceID id = 0;
    SDL_AudioSpec obtained{};
    std::condition_variable wake;

    // Guarded by OutputDevice::soundLock.
    const QByteArray* current = nullptr;
    qsizetype position = 0;
    bool waiting = false;   // mix() waits for a sound: the driver has played all it was given
    bool releasing = false; // closing: mix() never waits again
    int silentBuffersLeft = 0;

    milliseconds bufferTime() const { return framesTime(obtained.samples, obtained.freq); }
    int silentBuffersAfterASound() const
    {
        const auto each = std::max(bufferTime(), milliseconds(1));
        return int((trailingSilence + each - milliseconds(1)) / each);
    }
    void endSound()
    {
        current = nullptr;
        silentBuffersLeft = silentBuffersAfterASound();
    }
    // How long the driver takes over a sound and the silence after it, in whole buffers.
    milliseconds playingTime(milliseconds sound) const
    {
        const auto each = std::max(bufferTime(), milliseconds(1));
        return ((sound + each - milliseconds(1)) / each + silentBuffersAfterASound()) * each;
    }
    milliseconds soundLeft() const
    {
        if (!current)
            return milliseconds(0);
        const int frameBytes = std::max(bytesPerFrame(obtained.format, obtained.channels), 1);
        return framesTime((current->size() - position) / frameBytes, obtained.freq);
    }
};

// The one output device of the process, open only while a sound plays or one is due: an open
// device keeps a sound server and its sound card from suspending.
struct OutputDevice {
    SDL_AudioSpec obtained{};
    // Tells clips converted for another format, or for the device of an earlier start of the
    // audio subsystem, from those that this one plays.
    quint64 generation = 0;
    bool formatKnown = false; // obtained holds what the driver grants in this generation
    bool subsystemStarted = false;
    bool postRoutineAdded = false;
    std::unique_ptr<Stream> stream;
    // Closing a device joins its thread, which plays out what it was given and a buffer or two
    // more: it happens away from the user-interface thread. An open waits for it, so that two
    // devices never write at once; a device closes long before the next cue is readied.
    std::thread closing;
    std::unique_ptr<QTimer> idleClose;
    steady_clock::time_point readyUntil;
    // The longest clip opened: a cue followed by another sooner than that and a calm buffer
    // could cut it off, and is taken in short buffers.
    milliseconds longestClip{0};

    // Not SDL's device lock: a waiting mix() holds that one.
    std::mutex soundLock;
    std::optional<steady_clock::time_point> firstTaken; // guarded by soundLock

    void startSubsystem()
    {
        if (subsystemStarted)
            return;
        SDL_ClearError();
        // The audio subsystem brings SDL's event subsystem, which would otherwise catch SIGINT and
        // SIGTERM for a quit event that nobody reads: the program could no longer be ended so.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            throwBackEndError();
        subsystemStarted = true;
        formatKnown = false;
        ++generation;
        const QByteArray appName = QCoreApplication::applicationName().toUtf8();
        if (!appName.isEmpty())
            SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, appName.constData());
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Sound cues");
        // Ends a sound that still plays when the application object goes, before the rest of
        // the process is torn down.
        if (QCoreApplication::instance() && !postRoutineAdded) {
            qAddPostRoutine(&shutDownAudio);
            postRoutineAdded = true;
        }
    }

    // An open device is kept whatever its buffers, as closing one waits for its thread.
    Stream& open(Uint16 bufferFrames = requestedBufferFrames)
    {
        // A device the driver has lost (unplugged headphones) reports itself stopped.
        if (stream && SDL_GetAudioDeviceStatus(stream->id) != SDL_AUDIO_STOPPED)
            return *stream;
        close();
        finishClosing();
        startSubsystem();
        auto opened = std::make_unique<Stream>(*this);
        SDL_AudioSpec wanted{};
        wanted.freq = requestedSampleRate;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = requestedChannels;
        wanted.samples = bufferFrames;
        wanted.callback = &mix;
        wanted.userdata = opened.get();
        opened->id =
            SDL_OpenAudioDevice(nullptr, 0, &wanted, &opened->obtained,
                                SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_FORMAT_CHANGE |
                                    SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
        if (opened->id == 0) {
            const QString text = backEndError();
            shutDown();
            throw EMCIDeviceError(text);
        }
        if (formatKnown && !sameFormat(obtained, opened->obtained))
            ++generation;
        formatKnown = true;
        obtained = opened->obtained;
        // From here on SDL's device lock is mix()'s: it is held while mix() waits for a sound.
        SDL_PauseAudioDevice(opened->id, 0);
        stream = std::move(opened);
        closeWhenIdleAfter(milliseconds(0));
        return *stream;
    }

    // The format clips are converted to, learnt from a device opened for it.
    void knowFormat()
    {
        if (!subsystemStarted || !formatKnown)
            open();
    }

    // Opens the device again after a quiet, for a clip converted for it; none when the clip's
    // device is gone.
    Stream* openFor(quint64 clipGeneration)
    {
        if (!subsystemStarted || generation != clipGeneration)
            return nullptr;
        Stream& opened = open();
        return generation == clipGeneration ? &opened : nullptr;
    }

    void closeWhenIdleAfter(milliseconds soundLeft)
    {
        if (!idleClose) {
            if (!QCoreApplication::instance())
                return; // nothing to close it by: it stays open until the end
            idleClose = std::make_unique<QTimer>();
            idleClose->setSingleShot(true);
            QObject::connect(idleClose.get(), &QTimer::timeout, [this] { closeIfIdle(); });
        }
        const auto ready = std::chrono::ceil<milliseconds>(
            std::max(readyUntil - steady_clock::now(), steady_clock::duration::zero()));
        idleClose->start(std::max(soundLeft, ready) + idleHold);
    }

    void closeIfIdle()
    {
        if (!stream)
            return;
        milliseconds soundLeft{0};
        {
            const std::lock_guard lock(soundLock);
            // A device that still plays what it was given keeps playing it.
            if (stream->current || !stream->waiting)
                soundLeft = stream->soundLeft() + stream->bufferTime();
        }
        if (soundLeft.count() > 0 || steady_clock::now() < readyUntil) {
            closeWhenIdleAfter(soundLeft);
            return;
        }
        close();
    }

    // Lets the device's thread go and closes the device on a thread of its own. The stream goes
    // with it: the driver's thread may call mix() until the close has joined it.
    void close()
    {
        if (!stream)
            return;
        {
            const std::lock_guard lock(soundLock);
            stream->releasing = true;
            stream->current = nullptr;
        }
        stream->wake.notify_all();
        finishClosing();
        closing = std::thread([closed = std::move(stream)] {
            ::pthread_setname_np(::pthread_self(), "SDLAudioClose");
            SDL_CloseAudioDevice(closed->id);
        });
    }

    void finishClosing()
    {
        if (closing.joinable())
            closing.join();
    }

    void shutDown()
    {
        close();
        finishClosing();
        {
            const std::lock_guard lock(soundLock);
            firstTaken.reset();
        }
        idleClose.reset();
        if (subsystemStarted) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            subsystemStarted = false;
        }
        formatKnown = false;
        if (postRoutineAdded) {
            qRemovePostRoutine(&shutDownAudio);
            postRoutineAdded = false;
        }
    }
};

// Never destroyed, so clips that outlive static destruction still find it; the device itself is
// closed at exit.
OutputDevice& outputDevice()
{
    static OutputDevice* const device = [] {
        std::atexit(&shutDownAudio);
        return new OutputDevice;
    }();
    return *device;
}

void mix(void* userData, Uint8* buffer, int length)
{
    // SDL names its thread only now and then; named, it shows in top and perf as what it is.
    thread_local bool named = false;
    if (!named) {
        ::pthread_setname_np(::pthread_self(), "SDLAudioOut");
        named = true;
    }
    auto& stream = *static_cast<Stream*>(userData);
    std::unique_lock lock(stream.device.soundLock);
    if (stream.silentBuffersLeft > 0 && !stream.current) {
        --stream.silentBuffersLeft;
    } else {
        stream.silentBuffersLeft = 0;
        stream.waiting = true;
        stream.wake.wait(lock, [&] { return stream.current || stream.releasing; });
        stream.waiting = false;
    }
    qsizetype written = 0;
    if (const QByteArray* sound = stream.current) {
        written = std::min<qsizetype>(sound->size() - stream.position, length);
        if (stream.position == 0 && written > 0)
            stream.device.firstTaken = steady_clock::now();
        std::memcpy(buffer, sound->constData() + stream.position, size_t(written));
        stream.position += written;
        if (stream.position >= sound->size())
            stream.endSound();
    }
    std::memset(buffer + written, stream.obtained.silence, size_t(length - written));
}

QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EMCIDeviceError(QCoreApplication::translate("Audio", "Couldn't open %1: %2")
                                  .arg(path, file.errorString()));
    // Read in pieces up to a limit: the size of a device or pipe says nothing about how much it
    // holds, and reading the limit at once would reserve all of it for every cue.
    QByteArray bytes;
    std::array<char, 64 * 1024> piece;
    qint64 count = 0;
    while (bytes.size() <= qsizetype(maximumClipBytes) &&
           (count = file.read(piece.data(), qint64(piece.size()))) > 0)
        bytes.append(piece.data(), qsizetype(count));
    if (count < 0 || file.error() != QFileDevice::NoError)
        throw EMCIDeviceError(QCoreApplication::translate("Audio", "Couldn't read %1: %2")
                                  .arg(path, file.errorString()));
    if (bytes.isEmpty())
        throw EMCIDeviceError(QCoreApplication::translate("Audio", "%1 is empty").arg(path));
    if (bytes.size() > qsizetype(maximumClipBytes))
        throw EMCIDeviceError(
            QCoreApplication::translate("Audio", "%1 is too large for a sound").arg(path));
    return bytes;
}

// The WAV image as the back end is to decode it. The back end allocates a chunk's stated length
// before it reads the chunk, so a damaged header claiming gigabytes would cost gigabytes: a chunk
// longer than the rest of the file is refused first. Only the sound itself may run short: a WAV
// written as a stream (sox or ffmpeg writing to a pipe) keeps the RIFF and data lengths at their
// largest, as it cannot go back to fill them in, and players play the sound that is there. So a
// data chunk is cut to the whole sample frames (blocks, for compressed sound) that the file holds,
// a final partial frame dropped. The chunks follow "RIFF", a length and "WAVE", or, as the back
// end also accepts, a bare "WAVE". Anything else is left to the back end to name.
QByteArray soundAsStored(QByteArray wav)
{
    constexpr qsizetype chunkHeader = 8;
    qsizetype firstChunk = 0;
    if (wav.startsWith("RIFF"))
        firstChunk = 12;
    else if (wav.startsWith("WAVE"))
        firstChunk = 4;
    else
        return wav;
    quint32 frameBytes = 0; // from the "fmt " chunk; the back end names a missing one
    for (qsizetype at = firstChunk; at + chunkHeader <= wav.size();) {
        const QByteArray id = wav.mid(at, 4);
        const quint32 length = qFromLittleEndian<quint32>(wav.constData() + at + 4);
        const qsizetype rest = wav.size() - at - chunkHeader;
        if (id == "fmt " && length >= 14 && rest >= 14)
            frameBytes = qFromLittleEndian<quint16>(wav.constData() + at + chunkHeader + 12);
        if (id == "data") {
            quint64 sound = std::min<quint64>(length, quint64(rest));
            if (frameBytes > 0)
                sound -= sound % frameBytes;
            if (sound != length) {
                wav.truncate(at + chunkHeader + qsizetype(sound));
                qToLittleEndian(quint32(sound), wav.data() + at + 4);
                if (firstChunk == 12)
                    qToLittleEndian(quint32(wav.size() - chunkHeader), wav.data() + 4);
            }
            return wav;
        }
        if (length > quint64(rest))
            throw EMCIDeviceError(QCoreApplication::translate(
                                      "Audio", "The WAV file is damaged: its \"%1\" chunk claims "
                                               "%2 bytes where %3 remain")
                                      .arg(QString::fromLatin1(id))
                                      .arg(length)
                                      .arg(rest));
        at += chunkHeader + qsizetype(length) + qsizetype(length & 1); // chunks are word aligned
    }
    return wav;
}

// Decodes a WAV image and converts it to the device's format.
QByteArray decodeForDevice(const QByteArray& file, const SDL_AudioSpec& target)
{
    const QByteArray wav = soundAsStored(file);
    // Any other chunk cut short is reported rather than guessed at.
    SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "strict");
    SDL_ClearError();
    SDL_AudioSpec source{};
    Uint8* decoded = nullptr;
    Uint32 decodedBytes = 0;
    if (!SDL_LoadWAV_RW(SDL_RWFromConstMem(wav.constData(), int(wav.size())), 1, &source, &decoded,
                        &decodedBytes))
        throwBackEndError();
    const std::unique_ptr<Uint8, decltype(&SDL_FreeWAV)> owner(decoded, &SDL_FreeWAV);
    if (decodedBytes == 0)
        return {}; // a sound of no length: nothing to convert, and no buffer to copy from

    // SDL_AudioCVT rather than SDL_AudioStream: the stream drops the resampler's last few
    // milliseconds, the converter returns the whole sound.
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, source.format, source.channels, source.freq, target.format,
                          target.channels, target.freq) < 0)
        throwBackEndError();
    const double workingBytes = double(decodedBytes) * cvt.len_mult;
    if (workingBytes > maximumClipBytes)
        throw EMCIDeviceError(QCoreApplication::translate("Audio", "The sound is too long"));
    QByteArray converted(qsizetype(workingBytes), Qt::Uninitialized);
    std::memcpy(converted.data(), decoded, decodedBytes);
    cvt.buf = reinterpret_cast<Uint8*>(converted.data());
    cvt.len = int(decodedBytes);
    if (SDL_ConvertAudio(&cvt) != 0)
        throwBackEndError();
    converted.truncate(cvt.len_cvt);
    converted.squeeze();
    return converted;
}

// What the file system tells of a file without reading it. Writing a file gives it a new change
// time and replacing it a new inode, so an unchanged stamp means unchanged bytes, provided the
// file had settled when it was read: time stamps are coarse, and a write within the same tick as
// the read could leave the stamp as it was.
struct FileStamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;

    bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> stampOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    const auto ns = [](const timespec& time) {
        return qint64(time.tv_sec) * 1'000'000'000 + qint64(time.tv_nsec);
    };
    return FileStamp{quint64(info.st_dev), quint64(info.st_ino), qint64(info.st_size),
                     ns(info.st_mtim), ns(info.st_ctim)};
}

// Long enough for any file system's time stamps to have moved on since the last write.
bool settled(const FileStamp& stamp)
{
    constexpr qint64 settleNs = 2'000'000'000;
    const qint64 nowNs = QDateTime::currentMSecsSinceEpoch() * 1'000'000;
    return nowNs - std::max(stamp.modifiedNs, stamp.changedNs) > settleNs;
}

// A practice plays the same few cue files again and again, each within a tick that should not
// wait. The last decoding of each file is kept and used again while the file holds the very same
// bytes and the device is the same one. A file that had settled when it was read is known by its
// stamp from then on; any other is read again and compared, which still costs far less than
// decoding and converting it into freshly allocated memory.
const QByteArray& samplesForDevice(const QString& path, OutputDevice& device)
{
    struct Decoded {
        QByteArray wav;
        std::optional<FileStamp> settledStamp;
        quint64 generation = 0;
        QByteArray samples;
    };
    static QHash<QString, Decoded> decoded;
    constexpr qsizetype filesKept = 8; // the program has five cues

    // Taken before the read: a write after it leaves a stamp that no longer matches.
    const std::optional<FileStamp> stamp = stampOf(path);
    const auto known = decoded.find(path);
    if (known != decoded.end() && stamp && known->settledStamp == stamp) {
        device.knowFormat();
        if (known->generation == device.generation)
            return known->samples;
    }
    const QByteArray wav = readWholeFile(path);
    device.knowFormat();
    const std::optional<FileStamp> settledStamp =
        stamp && settled(*stamp) ? stamp : std::optional<FileStamp>();
    if (known != decoded.end() && known->generation == device.generation && known->wav == wav) {
        known->settledStamp = settledStamp;
        return known->samples;
    }
    Decoded fresh{wav, settledStamp, device.generation, decodeForDevice(wav, device.obtained)};
    // A cue that cannot sound is told like one that cannot be read, not played as silence.
    if (fresh.samples.isEmpty())
        throw EMCIDeviceError(QCoreApplication::translate("Audio", "%1 holds no sound").arg(path));
    if (decoded.size() >= filesKept && !decoded.contains(path))
        decoded.clear();
    return decoded.insert(path, std::move(fresh))->samples;
}

} // namespace

AudioClip::AudioClip(const QString& path)
{
    OutputDevice& device = outputDevice();
    m_samples = samplesForDevice(path, device);
    m_deviceGeneration = device.generation;
    m_bytesPerFrame = bytesPerFrame(device.obtained.format, device.obtained.channels);
    m_sampleRate = device.obtained.freq;
    device.longestClip = std::max(device.longestClip, duration());
}

void prepareClip(const QString& path) noexcept
{
    try {
        const AudioClip clip(path);
    } catch (const EMCIDeviceError&) {
    }
}

AudioClip::~AudioClip()
{
    stop();
}

void AudioClip::play()
{
    OutputDevice& device = outputDevice();
    Stream* const stream = device.openFor(m_deviceGeneration);
    if (!stream)
        throw EMCIDeviceError(
            QCoreApplication::translate("Audio", "The audio device is no longer open"));
    {
        const std::lock_guard lock(device.soundLock);
        stream->current = &m_samples;
        stream->position = 0;
        device.firstTaken.reset();
    }
    stream->wake.notify_all();
    device.closeWhenIdleAfter(stream->playingTime(duration()));
}

void AudioClip::stop()
{
    OutputDevice& device = outputDevice();
    const std::lock_guard lock(device.soundLock);
    if (device.stream && device.stream->current == &m_samples)
        device.stream->endSound();
}

bool AudioClip::isSounding() const
{
    OutputDevice& device = outputDevice();
    const std::lock_guard lock(device.soundLock);
    return device.stream && device.stream->current == &m_samples;
}

std::chrono::milliseconds AudioClip::duration() const
{
    return std::chrono::milliseconds(m_samples.size() / m_bytesPerFrame * 1000 / m_sampleRate);
}

void prepareAudioOutput(std::chrono::milliseconds dueIn,
                        std::chrono::milliseconds quietAfter) noexcept
{
    OutputDevice& device = outputDevice();
    const bool calm =
        device.formatKnown && quietAfter >= device.longestClip + trailingSilence +
                                                framesTime(calmBufferFrames, device.obtained.freq);
    try {
        device.open(calm ? calmBufferFrames : requestedBufferFrames);
    } catch (const EMCIDeviceError&) {
        return; // the cue's own open reports it
    }
    const auto due = steady_clock::now() + std::clamp(dueIn, milliseconds(0), cueHold);
    device.readyUntil = std::max(device.readyUntil, due + readyHold);
    device.closeWhenIdleAfter(milliseconds(0));
}

AudioDeviceFormat audioDeviceFormat()
{
    OutputDevice& device = outputDevice();
    device.knowFormat();
    return {QString::fromUtf8(SDL_GetCurrentAudioDriver()),
            device.obtained.freq,
            device.obtained.channels,
            SDL_AUDIO_BITSIZE(device.obtained.format) / 8,
            SDL_AUDIO_ISFLOAT(device.obtained.format) != 0,
            device.obtained.samples};
}

std::optional<std::chrono::steady_clock::time_point> firstSamplesTakenAt()
{
    OutputDevice& device = outputDevice();
    const std::lock_guard lock(device.soundLock);
    return device.firstTaken;
}

void shutDownAudio()
{
    outputDevice().shutDown();
}

} // namespace tolvane::platform
