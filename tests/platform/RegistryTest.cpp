#include "platform/Registry.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TempConfig.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringEncoder>
#include <QtEndian>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tolvane::platform {

void PrintTo(const RegistryValue& value, std::ostream* out)
{
    *out << "type " << value.type << " bytes(" << value.data.toHex(' ').toStdString() << ')';
}

} // namespace tolvane::platform

using namespace tolvane::platform;
using tolvane::test::asOrdinaryUser;
using tolvane::test::TempConfig;
using Status = UserRegistry::QueryStatus;

namespace {

const QString tolvaneKey = QStringLiteral("SOFTWARE\\Tolvane");
const QByteArray totalTimeBytes = QByteArray::fromHex("7b09ed25b497803f");

RegistryValue dword(std::uint32_t number)
{
    QByteArray data(4, '\0');
    for (int i = 0; i < 4; ++i)
        data[i] = static_cast<char>(number >> (8 * i));
    return {RegDword, data};
}

RegistryValue text(const QByteArray& characters)
{
    return {RegSz, characters + '\0'};
}

class RegistryTest : public testing::Test {
protected:
    UserRegistry::Query query(const QString& name, std::uint32_t bufferSize = 1024,
                              const QString& key = tolvaneKey) const
    {
        return registry.queryValue(key, name, bufferSize);
    }

    // The stored value, or a RegNone with no data when it cannot be read.
    RegistryValue stored(const QString& name, const QString& key = tolvaneKey) const
    {
        const auto result = query(name, 1024, key);
        if (result.status != Status::Success)
            return {};
        return {result.type, result.data};
    }

    QString folder() const { return config.configHome() + QStringLiteral("/tolvane"); }

    // Everything in the settings folder except the file and its lock: left-over temporaries.
    QStringList strayFiles() const
    {
        QStringList names = QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden |
                                                     QDir::System | QDir::NoDotAndDotDot);
        names.removeAll(QStringLiteral("registry.reg"));
        names.removeAll(QStringLiteral("registry.reg.lock"));
        return names;
    }

    TempConfig config;
    UserRegistry registry;
};

// A new file

TEST_F(RegistryTest, NewFileHoldsEachTypeAsRegeditWritesIt)
{
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("intPrTotalTime"), dword(20)));
    ASSERT_TRUE(
        registry.setValue(tolvaneKey, QStringLiteral("tTotalTime"), {RegBinary, totalTimeBytes}));
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("s"), text("text")));
    ASSERT_TRUE(
        registry.setValue(tolvaneKey, QStringLiteral("x"), {RegExpandSz, QByteArray("A\0", 2)}));

    EXPECT_EQ(config.readRegistryFile(), QByteArray("REGEDIT4\n"
                                                    "\n"
                                                    "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n"
                                                    "\"intPrTotalTime\"=dword:00000014\n"
                                                    "\"tTotalTime\"=hex:7b,09,ed,25,b4,97,80,3f\n"
                                                    "\"s\"=\"text\"\n"
                                                    "\"x\"=hex(2):41,00\n"));
    EXPECT_EQ(stored(QStringLiteral("intPrTotalTime")), dword(20));
    EXPECT_EQ(stored(QStringLiteral("tTotalTime")), (RegistryValue{RegBinary, totalTimeBytes}));
    EXPECT_EQ(stored(QStringLiteral("s")), text("text"));
    EXPECT_EQ(stored(QStringLiteral("x")), (RegistryValue{RegExpandSz, QByteArray("A\0", 2)}));
    EXPECT_EQ(QFile::permissions(config.registryFile()),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
}

TEST_F(RegistryTest, ValuesThatQuotesCannotCarryAreWrittenAsHexOfTheirType)
{
    const struct {
        const char* name;
        RegistryValue value;
        QByteArray line;
    } cases[] = {
        {"", text("default"), "@=\"default\""},
        {"quote", text("say \"hi\" \\ bye"), "\"quote\"=\"say \\\"hi\\\" \\\\ bye\""},
        {"empty", text(""), "\"empty\"=\"\""},
        {"multi", {RegMultiSz, QByteArray("a\0b\0\0", 5)}, "\"multi\"=hex(7):61,00,62,00,00"},
        {"qword",
         {11, QByteArray::fromHex("0100000000000000")},
         "\"qword\"=hex(b):01,00,00,00,00,00,00,00"},
        {"none", {RegNone, {}}, "\"none\"=hex(0):"},
        {"shortDword", {RegDword, QByteArray::fromHex("0102")}, "\"shortDword\"=hex(4):01,02"},
        {"unterminated", {RegSz, "ab"}, "\"unterminated\"=hex(1):61,62"},
        {"twoLines", text("a\nb"), "\"twoLines\"=hex(1):61,0a,62,00"},
        {"notUtf8", text("\xff"), "\"notUtf8\"=hex(1):ff,00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromUtf8(c.name);
        ASSERT_TRUE(registry.setValue(tolvaneKey, name, c.value));
        EXPECT_TRUE(config.readRegistryFile().split('\n').contains(c.line));
        EXPECT_EQ(stored(name), c.value);
    }
}

TEST_F(RegistryTest, LongHexIsWrappedLikeRegeditAndReadBack)
{
    QByteArray data;
    for (int i = 0; i < 100; ++i)
        data += static_cast<char>(i * 7);
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("long"), {RegBinary, data}));

    const QList<QByteArray> lines = config.readRegistryFile().split('\n');
    const qsizetype first = lines.indexOf(
        "\"long\"=hex:00,07,0e,15,1c,23,2a,31,38,3f,46,4d,54,5b,62,69,70,77,7e,85,8c,93,\\");
    ASSERT_GE(first, 0);
    EXPECT_EQ(lines[first + 1],
              "  9a,a1,a8,af,b6,bd,c4,cb,d2,d9,e0,e7,ee,f5,fc,03,0a,11,18,1f,26,2d,34,3b,42,\\");
    qsizetype line = first + 1;
    for (; lines[line].endsWith('\\'); ++line) {
        EXPECT_TRUE(lines[line].startsWith("  "));
        EXPECT_LE(lines[line].size(), 80);
    }
    EXPECT_EQ(lines[line], "  a7,ae,b5");
    EXPECT_EQ(stored(QStringLiteral("long")), (RegistryValue{RegBinary, data}));
}

TEST_F(RegistryTest, CreateKeyMakesFolderFileAndSectionOnce)
{
    EXPECT_FALSE(registry.keyExists(tolvaneKey));
    ASSERT_TRUE(registry.createKey(tolvaneKey));
    ASSERT_TRUE(registry.createKey(QStringLiteral("software\\tolvane")));
    EXPECT_TRUE(registry.keyExists(tolvaneKey));
    EXPECT_EQ(config.readRegistryFile(),
              QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n"));

    ASSERT_TRUE(
        registry.setValue(QStringLiteral("SOFTWARE\\Other"), QStringLiteral("a"), dword(1)));
    EXPECT_EQ(config.readRegistryFile(), QByteArray("REGEDIT4\n\n"
                                                    "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n"
                                                    "\n"
                                                    "[HKEY_CURRENT_USER\\SOFTWARE\\Other]\n"
                                                    "\"a\"=dword:00000001\n"));
}

TEST_F(RegistryTest, ReadingAMissingFileFindsNothingAndCreatesNothing)
{
    EXPECT_FALSE(registry.keyExists(tolvaneKey));
    EXPECT_EQ(query(QStringLiteral("intTop")).status, Status::NotFound);
    EXPECT_FALSE(QFile::exists(config.registryFile()));
    EXPECT_FALSE(QDir(folder()).exists());
}

TEST_F(RegistryTest, FileLiesInTheXdgConfigFolder)
{
    EXPECT_EQ(registry.filePath(), config.registryFile());
    const QString home = QDir::homePath() + QStringLiteral("/.config/tolvane");
    qputenv("XDG_CONFIG_HOME", "");
    EXPECT_EQ(UserRegistry::settingsFolder(), home);
    qputenv("XDG_CONFIG_HOME", "relative/folder");
    EXPECT_EQ(UserRegistry::settingsFolder(), home);
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(UserRegistry::settingsFolder(), home);
}

// Names

TEST_F(RegistryTest, NamesAndKeyPathsIgnoreAsciiCaseAndKeepTheirSpelling)
{
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("intTop"), dword(3)));
    EXPECT_EQ(stored(QStringLiteral("INTTOP"), QStringLiteral("software\\TOLVANE")), dword(3));
    EXPECT_TRUE(registry.keyExists(QStringLiteral("Software\\tolvane\\")));

    ASSERT_TRUE(
        registry.setValue(QStringLiteral("SOFTWARE\\TOLVANE"), QStringLiteral("INTTOP"), dword(4)));
    EXPECT_EQ(config.readRegistryFile(), QByteArray("REGEDIT4\n\n"
                                                    "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n"
                                                    "\"intTop\"=dword:00000004\n"));
    // Only ASCII letters fold: these are two different names.
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("\u00c4"), dword(1)));
    EXPECT_EQ(query(QStringLiteral("\u00e4")).status, Status::NotFound);
}

TEST_F(RegistryTest, KeyWithOnlyASubkeySectionExists)
{
    config.writeRegistryFile("REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\Sub]\n");
    EXPECT_TRUE(registry.keyExists(tolvaneKey));
    EXPECT_TRUE(registry.keyExists(QStringLiteral("SOFTWARE")));
    EXPECT_FALSE(registry.keyExists(QStringLiteral("SOFTWARE\\Tolv")));
    EXPECT_FALSE(registry.keyExists(QStringLiteral("SOFTWARE\\\\Tolvane")));
    EXPECT_EQ(query(QStringLiteral("intTop")).status, Status::NotFound);
}

TEST_F(RegistryTest, KeyPathsKeepTheirSpacesAndBrackets)
{
    const QString key = QStringLiteral(" SOFTWARE\\Tolvane ]x ");
    ASSERT_TRUE(registry.setValue(key, QStringLiteral("a"), dword(1)));
    ASSERT_TRUE(registry.setValue(key, QStringLiteral("b"), dword(2)));
    EXPECT_EQ(config.readRegistryFile(), QByteArray("REGEDIT4\n\n"
                                                    "[HKEY_CURRENT_USER\\ SOFTWARE\\Tolvane ]x ]\n"
                                                    "\"a\"=dword:00000001\n"
                                                    "\"b\"=dword:00000002\n"));
    EXPECT_EQ(stored(QStringLiteral("a"), key), dword(1));
    EXPECT_FALSE(registry.keyExists(tolvaneKey));
}

// Buffer sizes

TEST_F(RegistryTest, BufferSizeDecidesBetweenDataAndMoreData)
{
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("three"), text("abc")));
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("six"), text("abcdef")));
    ASSERT_TRUE(
        registry.setValue(tolvaneKey, QStringLiteral("nine"), {RegBinary, QByteArray(9, '\x01')}));
    ASSERT_TRUE(
        registry.setValue(tolvaneKey, QStringLiteral("eight"), {RegBinary, totalTimeBytes}));

    const struct {
        const char* name;
        std::uint32_t buffer;
        Status status;
        std::uint32_t type;
        std::uint32_t size;
        QByteArray data;
    } cases[] = {
        {"three", 4, Status::Success, RegSz, 4, QByteArray("abc\0", 4)},
        {"six", 4, Status::MoreData, RegSz, 7, {}},
        {"nine", 8, Status::MoreData, RegBinary, 9, {}},
        {"eight", 8, Status::Success, RegBinary, 8, totalTimeBytes},
        {"nine", 0, Status::Success, RegBinary, 9, {}},
        {"missing", 8, Status::NotFound, RegNone, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " in " << c.buffer << " bytes");
        const auto result = query(QString::fromUtf8(c.name), c.buffer);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.type, c.type);
        EXPECT_EQ(result.size, c.size);
        EXPECT_EQ(result.data, c.data);
    }
    EXPECT_EQ(query(QStringLiteral("three"), 4, QStringLiteral("SOFTWARE\\Nowhere")).status,
              Status::NotFound);
}

// Files edited by hand

const QByteArray handEdited = "REGEDIT4\r\n"
                              "\r\n"
                              "; Tolvane settings, tuned by hand\r\n"
                              "[HKEY_CURRENT_USER\\SOFTWARE\\Other]\r\n"
                              "\"keep\"=\"me\"\r\n"
                              "\r\n"
                              "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\r\n"
                              "; window position\r\n"
                              "\"intTop\"=dword:00000010\r\n"
                              "\"odd\"=hex(7c):01,02\r\n"
                              "\"intLeft\" = dword:20\r\n"
                              "\r\n"
                              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolvane]\r\n"
                              "\"intTop\"=dword:00000099\r\n";

TEST_F(RegistryTest, HandEditedFileIsReadWithItsOddities)
{
    config.writeRegistryFile(handEdited);
    EXPECT_EQ(stored(QStringLiteral("intTop")), dword(0x10));
    EXPECT_EQ(stored(QStringLiteral("intLeft")), dword(0x20));
    EXPECT_EQ(stored(QStringLiteral("odd")), (RegistryValue{0x7c, QByteArray("\1\2", 2)}));
    EXPECT_EQ(stored(QStringLiteral("keep"), QStringLiteral("SOFTWARE\\Other")), text("me"));
}

TEST_F(RegistryTest, HandEditedCrlfFileChangesOnlyTheWrittenLines)
{
    config.writeRegistryFile(handEdited);
    QByteArray expected = handEdited;

    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("INTTOP"), dword(5)));
    expected.replace("\"intTop\"=dword:00000010", "\"intTop\"=dword:00000005");
    EXPECT_EQ(config.readRegistryFile(), expected);

    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("intDays"), dword(2)));
    expected.replace("dword:20\r\n", "dword:20\r\n\"intDays\"=dword:00000002\r\n");
    EXPECT_EQ(config.readRegistryFile(), expected);

    ASSERT_TRUE(
        registry.setValue(tolvaneKey + QStringLiteral("\\Sub"), QStringLiteral("v"), text("w")));
    expected += "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\Sub]\r\n\"v\"=\"w\"\r\n";
    EXPECT_EQ(config.readRegistryFile(), expected);

    // Storing what is already there keeps the hand-written spelling.
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("intLeft"), dword(0x20)));
    EXPECT_EQ(config.readRegistryFile(), expected);
    EXPECT_EQ(stored(QStringLiteral("intTop"), QStringLiteral("SOFTWARE\\Tolvane")), dword(5));
}

TEST_F(RegistryTest, WrappedHexContinuationLinesAreReadAndReplacedTogether)
{
    const QByteArray before = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\r\n";
    const QByteArray after = "\"intTop\"=dword:00000001\r\n";
    config.writeRegistryFile(before +
                             "\"blob\"=hex:01,02,03,\\\r\n"
                             "  04,05,\\\r\n"
                             "\t06\r\n" +
                             after);
    EXPECT_EQ(stored(QStringLiteral("blob")),
              (RegistryValue{RegBinary, QByteArray::fromHex("010203040506")}));
    EXPECT_EQ(stored(QStringLiteral("intTop")), dword(1));

    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("blob"), {RegBinary, "\x0a"}));
    EXPECT_EQ(config.readRegistryFile(), before + "\"blob\"=hex:0a\r\n" + after);
}

TEST_F(RegistryTest, LastLineWithoutLineBreakGetsOneBeforeANewValue)
{
    config.writeRegistryFile("REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n\"a\"=dword:1");
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("b"), dword(2)));
    EXPECT_EQ(config.readRegistryFile(), QByteArray("REGEDIT4\n\n"
                                                    "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n"
                                                    "\"a\"=dword:1\n"
                                                    "\"b\"=dword:00000002\n"));
}

TEST_F(RegistryTest, ValueNamedTwiceTakesTheLaterLineForReadsAndWrites)
{
    config.writeRegistryFile("REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n"
                             "\"a\"=dword:00000001\n\n"
                             "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n"
                             "\"a\"=dword:00000002\n");
    EXPECT_EQ(stored(QStringLiteral("a")), dword(2));
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("a"), dword(3)));
    EXPECT_EQ(config.readRegistryFile(), QByteArray("REGEDIT4\n\n"
                                                    "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n"
                                                    "\"a\"=dword:00000001\n\n"
                                                    "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n"
                                                    "\"a\"=dword:00000003\n"));
}

TEST_F(RegistryTest, Utf8ByteOrderMarkIsKept)
{
    const QByteArray before = "\xef\xbb\xbfREGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n";
    config.writeRegistryFile(before + "\"a\"=\"\xc3\xa4\"\n");
    EXPECT_EQ(stored(QStringLiteral("a")), text("\xc3\xa4"));
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("a"), text("\xc3\xb6")));
    EXPECT_EQ(config.readRegistryFile(), before + "\"a\"=\"\xc3\xb6\"\n");
}

// Files exported by regedit 5

TEST_F(RegistryTest, Utf16RegeditFiveExportIsReadAndStaysUtf16)
{
    const QString exported = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                            "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\r\n"
                                            "\"intPrInhale\"=dword:00000005\r\n"
                                            "\"tTotalTime\"=hex:7b,09,ed,25,b4,97,80,3f\r\n"
                                            "\"name\"=\"Pr\u0101\u1e47\u0101y\u0101ma\"\r\n\r\n");
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    const QByteArray original = "\xff\xfe" + QByteArray(utf16(exported));
    config.writeRegistryFile(original);

    EXPECT_EQ(stored(QStringLiteral("intPrInhale")), dword(5));
    EXPECT_EQ(stored(QStringLiteral("tTotalTime")), (RegistryValue{RegBinary, totalTimeBytes}));
    EXPECT_EQ(stored(QStringLiteral("name")), text("Pr\u0101\u1e47\u0101y\u0101ma"));

    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("intPrInhale"), dword(6)));
    QString changed = exported;
    changed.replace(QStringLiteral("dword:00000005"), QStringLiteral("dword:00000006"));
    EXPECT_EQ(config.readRegistryFile(), QByteArray("\xff\xfe" + QByteArray(utf16(changed))));
}

// Files that cannot be parsed

TEST_F(RegistryTest, FilesWithLinesThatCannotBeReadAreNeverWritten)
{
    const QByteArray valid = "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n";
    const struct {
        const char* name;
        QByteArray contents;
    } cases[] = {
        {"binary garbage", QByteArray::fromHex("00ff13a7c4000000de").repeated(100)},
        {"no header", "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n\"b\"=dword:1\n"},
        {"only a byte order mark", "\xef\xbb\xbf"},
        {"value before any key", "REGEDIT4\n\"a\"=dword:1\n"},
        {"deletion line", valid + "\"intTop\"=-\n"},
        {"key deletion", "REGEDIT4\n\n[-HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n"},
        {"bad hex", valid + "\"a\"=hex:zz\n"},
        {"dword too long", valid + "\"a\"=dword:123456789\n"},
        {"unknown kind", valid + "\"a\"=qword:1\n"},
        {"unterminated text", valid + "\"a\"=\"open\n"},
        {"text after the value", valid + "\"a\"=\"x\" y\n"},
        {"unclosed section", valid + "[HKEY_CURRENT_USER\\SOFTWARE\n"},
        {"a list cut off", valid + "\"b\"=hex:01,\\\n[HKEY_CURRENT_USER\\x]\n\"a\"=dword:1\n"},
        {"odd UTF-16", "\xff\xfe\x52\x00\x45"},
        // A lone high surrogate at the end, found by fuzzing: it would not be written back as it
        // was.
        {"UTF-16 ending in half a character", QByteArray("\xff\xfe"
                                                         "R\0E\0G\0E\0D\0I\0T\0"
                                                         "4\0\r\0\n\0\x0a\xd8",
                                                         24)},
        {"zero byte in text", valid + QByteArray("\"a\"=\"x\0\"\n", 9)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        config.writeRegistryFile(c.contents);
        EXPECT_FALSE(registry.fault().wrongLines.empty());
        EXPECT_TRUE(registry.keyExists(tolvaneKey));
        EXPECT_FALSE(registry.createKey(tolvaneKey));
        EXPECT_NE(query(QStringLiteral("a")).status, Status::Success); // on a wrong line, or none
        EXPECT_FALSE(registry.setValue(tolvaneKey, QStringLiteral("a"), dword(1)));
        EXPECT_EQ(config.readRegistryFile(), c.contents);
        EXPECT_EQ(strayFiles(), QStringList());
    }
}

TEST_F(RegistryTest, UnparseableFileNamesItsFirstWrongLine)
{
    const struct {
        QByteArray contents;
        qsizetype number; // 0: the text as a whole
        QByteArray text;
    } cases[] = {
        {"REGEDIT4\r\n; \"a\"=-\r\n[HKEY_CURRENT_USER\\x]\r\n\"a\"=hex:01,\\\r\n  zz\r\n", 4,
         "\"a\"=hex:01,\\"},
        {QByteArray("REGEDIT4\n\n; \0\n", 14), 3, QByteArray("; \0", 3)},
        {"\xff\xfe\x52\x00\x45", 0, {}},
    };
    for (const auto& c : cases) {
        config.writeRegistryFile(c.contents);
        const auto wrong = registry.fault().wrongLines;
        ASSERT_FALSE(wrong.empty()) << c.contents.toStdString();
        EXPECT_EQ(wrong.front().number, c.number);
        EXPECT_EQ(wrong.front().text, c.text);
    }
}

TEST_F(RegistryTest, EmptyFileIsTreatedAsNoKeys)
{
    config.writeRegistryFile({});
    EXPECT_FALSE(registry.keyExists(tolvaneKey));
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("a"), dword(1)));
    EXPECT_EQ(stored(QStringLiteral("a")), dword(1));
}

void expectUnusable(const UserRegistry& registry, const char* reason)
{
    EXPECT_TRUE(registry.fault().wrongLines.empty()); // no text to mend
    EXPECT_EQ(registry.fault().readError, QString::fromLatin1(reason));
    EXPECT_TRUE(registry.keyExists(tolvaneKey));
    EXPECT_EQ(registry.queryValue(tolvaneKey, QStringLiteral("a"), 4).status, Status::Failed);
    UserRegistry writer(registry.filePath());
    EXPECT_FALSE(writer.createKey(tolvaneKey));
    EXPECT_FALSE(writer.setValue(tolvaneKey, QStringLiteral("a"), dword(1)));
}

TEST_F(RegistryTest, DirectoryInPlaceOfTheFileIsLeftAlone)
{
    ASSERT_TRUE(QDir().mkpath(config.registryFile()));
    expectUnusable(registry, "Is a directory");
    EXPECT_TRUE(QFileInfo(config.registryFile()).isDir());
}

TEST_F(RegistryTest, OversizedFileIsRejectedWithoutReadingIt)
{
    config.writeRegistryFile({});
    QFile file(config.registryFile());
    ASSERT_TRUE(file.resize(100 * 1024 * 1024)); // sparse: costs no disk
    expectUnusable(registry, "File too large");
    EXPECT_EQ(QFileInfo(config.registryFile()).size(), 100 * 1024 * 1024);
}

TEST_F(RegistryTest, BrokenSymbolicLinksAreLeftAlone)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    ASSERT_TRUE(QFile::link(config.registryFile(), config.registryFile())); // a loop
    expectUnusable(registry, "Too many levels of symbolic links");
    EXPECT_TRUE(QFileInfo(config.registryFile()).isSymLink());

    ASSERT_TRUE(QFile::remove(config.registryFile()));
    ASSERT_TRUE(QFile::link(folder() + QStringLiteral("/nowhere"), config.registryFile()));
    expectUnusable(registry, "No such file or directory");
    EXPECT_FALSE(QFile::exists(folder() + QStringLiteral("/nowhere")));
}

TEST_F(RegistryTest, LinkedFileIsWrittenThroughTheLink)
{
    const QString target = config.configHome() + QStringLiteral("/dotfiles.reg");
    QFile targetFile(target);
    ASSERT_TRUE(targetFile.open(QIODevice::WriteOnly));
    targetFile.write("REGEDIT4\n");
    targetFile.close();
    ASSERT_TRUE(QDir().mkpath(folder()));
    ASSERT_TRUE(QFile::link(target, config.registryFile()));

    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("a"), dword(1)));
    EXPECT_TRUE(QFileInfo(config.registryFile()).isSymLink());
    ASSERT_TRUE(targetFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(targetFile.readAll(), QByteArray("REGEDIT4\n\n"
                                               "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n"
                                               "\"a\"=dword:00000001\n"));
}

TEST_F(RegistryTest, DamagedFilesAreEitherEditedCorrectlyOrLeftAlone)
{
    const QByteArray sample = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\r\n"
                              "@=\"d\\\"q\"\r\n\"a\"=hex(7):01,\\\r\n  02\r\n\"b\"=dword:1f\r\n";
    QList<QByteArray> damaged;
    for (qsizetype i = 0; i < sample.size(); ++i) {
        damaged << sample.first(i);
        for (const char replacement : {'\0', '"', '\\', '[', ']', '=', ',', '(', '\n'}) {
            damaged << sample;
            damaged.last()[i] = replacement;
        }
    }
    for (const QByteArray& contents : std::as_const(damaged)) {
        SCOPED_TRACE(contents.toStdString());
        config.writeRegistryFile(contents);
        if (!registry.fault().wrongLines.empty()) {
            EXPECT_FALSE(registry.setValue(tolvaneKey, QStringLiteral("c"), dword(9)));
            EXPECT_EQ(config.readRegistryFile(), contents);
        } else {
            EXPECT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("c"), dword(9)));
            EXPECT_EQ(stored(QStringLiteral("c")), dword(9));
        }
    }
}

// Failures while writing

TEST_F(RegistryTest, ReadOnlyFolderKeepsTheOldFileAndReportsFailure)
{
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("a"), dword(1)));
    const QByteArray before = config.readRegistryFile();
    ASSERT_TRUE(QFile::setPermissions(folder(), QFile::ReadOwner | QFile::ExeOwner));

    const bool refused = asOrdinaryUser(config.configHome(), [this] {
        return !registry.setValue(tolvaneKey, QStringLiteral("a"), dword(2)) &&
               !registry.setValue(tolvaneKey, QStringLiteral("b"), dword(2)) &&
               !registry.createKey(QStringLiteral("SOFTWARE\\New")) &&
               registry.createKey(tolvaneKey) &&
               registry.queryValue(tolvaneKey, QStringLiteral("a"), 4).data == dword(1).data;
    });
    ASSERT_TRUE(
        QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    EXPECT_TRUE(refused);
    EXPECT_EQ(config.readRegistryFile(), before);
    EXPECT_EQ(strayFiles(), QStringList());
}

TEST_F(RegistryTest, UnreadableFileCountsAsUnparseable)
{
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("a"), dword(1)));
    const QByteArray before = config.readRegistryFile();
    ASSERT_TRUE(QFile::setPermissions(config.registryFile(), QFile::WriteOwner));

    const bool refused = asOrdinaryUser(config.configHome(), [this] {
        return registry.keyExists(tolvaneKey) &&
               registry.fault().readError == u"Permission denied" &&
               registry.queryValue(tolvaneKey, QStringLiteral("a"), 4).status == Status::Failed &&
               !registry.setValue(tolvaneKey, QStringLiteral("a"), dword(2));
    });
    ASSERT_TRUE(QFile::setPermissions(config.registryFile(), QFile::ReadOwner | QFile::WriteOwner));
    EXPECT_TRUE(refused);
    EXPECT_EQ(config.readRegistryFile(), before);
}

TEST_F(RegistryTest, FullDiskKeepsTheOldFileAndLeavesNoTemporary)
{
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("a"), dword(1)));
    const QByteArray before = config.readRegistryFile();

    const pid_t child = ::fork();
    if (child == 0) {
        // The file size limit makes every write past it fail as a full disk would.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(before.size()), static_cast<rlim_t>(before.size())};
        const bool refused = ::setrlimit(RLIMIT_FSIZE, &limit) == 0 &&
                             !registry.setValue(tolvaneKey, QStringLiteral("big"),
                                                {RegBinary, QByteArray(4096, 'x')});
        ::_exit(refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(config.readRegistryFile(), before);
    EXPECT_EQ(strayFiles(), QStringList());
}

// Two writers

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing)
{
    constexpr int valuesPerWriter = 200;
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("sentinel"), dword(7)));
    pid_t writers[2] = {};
    for (int writer = 0; writer < 2; ++writer) {
        writers[writer] = ::fork();
        if (writers[writer] == 0) {
            UserRegistry own(config.registryFile());
            bool ok = true;
            for (int i = 0; i < valuesPerWriter; ++i) {
                const QString name = QStringLiteral("w%1_%2").arg(writer).arg(i);
                ok = own.setValue(tolvaneKey, name, dword(writer * 1000 + i)) && ok;
            }
            ::_exit(ok ? 0 : 1);
        }
        ASSERT_GT(writers[writer], 0);
    }

    int running = 2;
    int reads = 0;
    while (running > 0) {
        EXPECT_EQ(stored(QStringLiteral("sentinel")), dword(7)) << "after " << reads << " reads";
        ++reads;
        for (pid_t& writer : writers) {
            int status = 0;
            if (writer > 0 && ::waitpid(writer, &status, WNOHANG) == writer) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                writer = 0;
                --running;
            }
        }
    }
    for (int writer = 0; writer < 2; ++writer) {
        for (int i = 0; i < valuesPerWriter; ++i) {
            const QString name = QStringLiteral("w%1_%2").arg(writer).arg(i);
            EXPECT_EQ(stored(name), dword(writer * 1000 + i)) << name.toStdString();
        }
    }
    EXPECT_EQ(strayFiles(), QStringList());
}

// A kill

TEST_F(RegistryTest, KillDuringAWriteLeavesTheOldFileOrTheNew)
{
    // Each write replaces a value of 64 KiB of one letter by one of the next letter and then a
    // counter, so a file caught halfway would show a mixed value or a counter out of step.
    constexpr qsizetype blobSize = 64 * 1024;
    const auto letterBlob = [](int n) {
        return RegistryValue{RegBinary, QByteArray(blobSize, static_cast<char>('A' + n % 26))};
    };
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("blob"), letterBlob(0)));
    ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("count"), dword(0)));
    std::uint32_t lastCount = 0;
    for (int kill = 0; kill < 12; ++kill) {
        SCOPED_TRACE(testing::Message() << "kill " << kill);
        const pid_t child = ::fork();
        if (child == 0) {
            UserRegistry own(config.registryFile());
            for (int n = static_cast<int>(lastCount) + 1;; ++n) {
                own.setValue(tolvaneKey, QStringLiteral("blob"), letterBlob(n));
                own.setValue(tolvaneKey, QStringLiteral("count"), dword(n));
            }
        }
        ASSERT_GT(child, 0);
        // Once the writer has got through a write, the kill lands a little later each time, so
        // that it catches the writes at different points.
        const auto counted = [&] {
            const RegistryValue count = stored(QStringLiteral("count"));
            return count.data.size() == 4 ? qFromLittleEndian<std::uint32_t>(count.data.constData())
                                          : 0u;
        };
        QElapsedTimer waited;
        waited.start();
        while (counted() <= lastCount && waited.elapsed() < 10'000)
            ::usleep(1'000);
        ::usleep(static_cast<useconds_t>(1'000 + 4'000 * kill));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        const auto blobQuery = query(QStringLiteral("blob"), blobSize);
        const RegistryValue blob{blobQuery.type, blobQuery.data};
        const RegistryValue count = stored(QStringLiteral("count"));
        ASSERT_EQ(count.type, static_cast<std::uint32_t>(RegDword)) << "the file does not parse";
        const std::uint32_t n = qFromLittleEndian<std::uint32_t>(count.data.constData());
        EXPECT_GE(n, lastCount);
        // The blob is the one that goes with the counter, or the next one already written.
        EXPECT_TRUE(blob == letterBlob(static_cast<int>(n)) ||
                    blob == letterBlob(static_cast<int>(n) + 1))
            << "count " << n << ", blob of " << blob.data.size() << " bytes";
        lastCount = n;
        // The next write clears what the killed writer left behind.
        ASSERT_TRUE(registry.setValue(tolvaneKey, QStringLiteral("after"), dword(kill)));
        EXPECT_EQ(strayFiles(), QStringList());
    }
    EXPECT_GE(lastCount, 12u) << "the writers did not get through their writes";
}

} // namespace
