#include "platform/DataFiles.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/Wav.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>

using namespace tolvane::platform;
using tolvane::test::writeFile;

namespace {

class DataFilesTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(workingDir.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(workingDir.path());
    }
    void TearDown() override
    {
        QDir::setCurrent(previous);
        if (!besideExecutable.isEmpty())
            QFile::remove(besideExecutable);
    }

    // A name no other run uses, placed beside the test executable for the test's lifetime.
    QString placeBesideExecutable()
    {
        const QString name =
            QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".wav");
        besideExecutable = QDir(QCoreApplication::applicationDirPath()).filePath(name);
        writeFile(besideExecutable, "beside");
        return name;
    }

    QTemporaryDir workingDir;
    QString previous;
    QString besideExecutable;
};

TEST_F(DataFilesTest, FoldersAreWorkingDirectoryThenExecutableFolderThenInstalledData)
{
    EXPECT_EQ(
        dataFileDirectories(),
        (QStringList{QDir::currentPath(), QCoreApplication::applicationDirPath(),
                     QDir::cleanPath(QCoreApplication::applicationDirPath() + u"/../share/tolvane"),
                     QStringLiteral(TOLVANE_DATA_DIR)}));
    EXPECT_TRUE(QStringLiteral(TOLVANE_DATA_DIR).endsWith(QStringLiteral("/share/tolvane")));
}

TEST_F(DataFilesTest, FileInWorkingDirectoryIsFound)
{
    writeFile(workingDir.filePath(QStringLiteral("Inhale.wav")), "here");
    EXPECT_EQ(locateDataFile(QStringLiteral("Inhale.wav")),
              workingDir.filePath(QStringLiteral("Inhale.wav")));
}

TEST_F(DataFilesTest, FileBesideExecutableIsFoundWhenWorkingDirectoryLacksIt)
{
    const QString name = placeBesideExecutable();
    EXPECT_EQ(locateDataFile(name), besideExecutable);
}

TEST_F(DataFilesTest, WorkingDirectoryWinsOverExecutableFolder)
{
    const QString name = placeBesideExecutable();
    writeFile(workingDir.filePath(name), "here");
    EXPECT_EQ(locateDataFile(name), workingDir.filePath(name));
}

TEST_F(DataFilesTest, FolderOfThatNameIsNotTakenForTheFile)
{
    const QString name = placeBesideExecutable();
    ASSERT_TRUE(QDir(workingDir.path()).mkdir(name));
    EXPECT_EQ(locateDataFile(name), besideExecutable);
}

TEST_F(DataFilesTest, NameFoundNowhereComesBackUnchanged)
{
    EXPECT_EQ(locateDataFile(QStringLiteral("NoSuchCue.wav")), QStringLiteral("NoSuchCue.wav"));
    EXPECT_EQ(locateDataFile(QString()), QString());
}

TEST_F(DataFilesTest, AbsolutePathIsNotLookedUp)
{
    const QString elsewhere = QStringLiteral("/nonexistent/Inhale.wav");
    writeFile(workingDir.filePath(QStringLiteral("Inhale.wav")), "here");
    EXPECT_EQ(locateDataFile(elsewhere), elsewhere);
}

} // namespace
