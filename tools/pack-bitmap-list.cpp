// Packs BMP files into a bitmap list in its stored form, each bitmap compressed and marked 8-bit,
// as the main window's button faces are kept:
//     pack-bitmap-list OUT.bin FACE.bmp...
#include "widgets/BitmapList.h"
#include "widgets/StoredForm.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "pack-bitmap-list: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: pack-bitmap-list OUT.bin FACE.bmp...\n");
        return 2;
    }
    tolvane::TLMDBitmapList list;
    list.setDefaultCompressed(true);
    list.setDefaultPixelFormat(tolvane::TLMDBitmapListItem::spf8bit);
    for (int i = 2; i < argc; ++i) {
        QFile face(QString::fromLocal8Bit(argv[i]));
        if (!face.open(QIODevice::ReadOnly))
            return fail(face.fileName() + u": " + face.errorString());
        if (!list.appendBitmapFile(face.readAll()))
            return fail(face.fileName() + u": not a readable BMP file");
    }

    QByteArray packed;
    try {
        packed = list.writeItems();
        // What the program will read must give back every face byte for byte.
        tolvane::TLMDBitmapList check;
        check.readItems(packed);
        for (int i = 0; i < list.count(); ++i)
            if (check.item(i).bitmapFile() != list.item(i).bitmapFile())
                return fail(QStringLiteral("face %1 does not read back unchanged").arg(i));
    } catch (const tolvane::TolvaneError& error) {
        return fail(error.message());
    }

    QSaveFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(packed) != packed.size() || !out.commit())
        return fail(out.fileName() + u": " + out.errorString());
    return 0;
}
