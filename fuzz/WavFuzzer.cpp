// Feeds arbitrary bytes to the sound cue loader as a WAV file on the dummy audio driver. A clip
// either loads and plays or is refused with an error; nothing may crash or read out of bounds.
#include "platform/Audio.h"
#include "platform/Errors.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace tolvane::platform;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QTemporaryDir folder;
    static const QString path = folder.filePath(QStringLiteral("cue.wav"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();

    try {
        AudioClip clip(path);
        clip.play();
        static_cast<void>(clip.duration());
        clip.stop();
    } catch (const tolvane::EMCIDeviceError&) {
        // A file the back end cannot decode is reported: the outcome we want.
    }
    return 0;
}
