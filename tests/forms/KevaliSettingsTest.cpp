#include "forms/Unit3.h"
#include "platform/ErrorDispatch.h"
#include "settings/SettingsRecord.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TempConfig.h"
#include "tests/support/Typing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringList>

#include <memory>
#include <string_view>

using namespace tolvane;

namespace {

// Stored: 25 minutes, an initial length of 7 seconds, no delay.
const QByteArray storedKevali = "\"intKevTotalTime\"=dword:00000019\n"
                                "\"intKevStartBreath\"=dword:00000007\n"
                                "\"blKevDelay\"=dword:00000000\n";

class KevaliSettingsTest : public testing::Test {
protected:
    void SetUp() override
    {
        settings = {};
        platform::setErrorReporter([this](const QString& text) { errors << text; });
    }

    void TearDown() override
    {
        dialog.reset();
        platform::setErrorReporter({});
    }

    void writeSettings(const QByteArray& values)
    {
        config.writeRegistryFile("REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n" + values);
    }

    // Opens the dialog as the main window does: a new one each time, shown modally.
    void open()
    {
        dialog = std::make_unique<TKSettings>();
        dialog->open();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }

    template <typename Widget> Widget* child(const char* name) const
    {
        auto* widget = dialog->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QComboBox* box(const char* name) const { return child<QComboBox>(name); }
    QCheckBox* delay() const { return child<QCheckBox>("Delay2"); }
    void click(const char* button) const { child<QPushButton>(button)->click(); }

    void type(const char* boxName, const QString& text) const
    {
        test::typeInto(box(boxName), text);
    }

    void pressKey(QWidget* target, int key) const
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }

    QByteArray registryLine(const char* name) const
    {
        const QByteArray prefix = '"' + QByteArray(name) + "\"=";
        for (const QByteArray& line : config.readRegistryFile().split('\n')) {
            if (line.startsWith(prefix))
                return line.mid(prefix.size());
        }
        return {};
    }

    bool closedWith(QDialog::DialogCode code) const
    {
        return !dialog->isVisible() && dialog->result() == code;
    }

    test::TempConfig config;
    QStringList errors;
    std::unique_ptr<TKSettings> dialog;
};

TEST_F(KevaliSettingsTest, LaysOutTheControlsAsDesigned)
{
    writeSettings(storedKevali);
    open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Kevali Settings"));
    EXPECT_EQ(dialog->size(), QSize(195, 111));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    // Centred on the screen, give or take the frame that the window system adds.
    const QPoint offCentre =
        dialog->frameGeometry().center() - dialog->screen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 8);

    const struct {
        const char* name;
        QRect bounds;
        const char* parent;
    } controls[] = {
        {"GroupBox1", {0, 0, 97, 49}, "TKSettings"},   {"ComboBox1", {8, 16, 81, 21}, "GroupBox1"},
        {"GroupBox2", {104, 0, 89, 49}, "TKSettings"}, {"ComboBox2", {8, 16, 73, 21}, "GroupBox2"},
        {"Delay2", {45, 56, 105, 17}, "TKSettings"},   {"BitBtn1", {16, 83, 75, 25}, "TKSettings"},
        {"BitBtn2", {104, 83, 75, 25}, "TKSettings"},
    };
    for (const auto& control : controls) {
        QWidget* widget = child<QWidget>(control.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), control.bounds) << control.name;
        EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(control.parent))
            << control.name;
    }

    EXPECT_EQ(child<QGroupBox>("GroupBox1")->title(), QStringLiteral("Time of Practice"));
    EXPECT_EQ(child<QGroupBox>("GroupBox2")->title(), QStringLiteral("Initial Length"));
    EXPECT_EQ(delay()->text(), QStringLiteral("Delay before Start"));
    EXPECT_EQ(delay()->layoutDirection(), Qt::RightToLeft); // the text left of its box
    EXPECT_EQ(child<QPushButton>("BitBtn1")->text(), QStringLiteral("OK"));
    EXPECT_EQ(child<QPushButton>("BitBtn2")->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(child<QPushButton>("BitBtn1")->isDefault());
    EXPECT_FALSE(child<QPushButton>("BitBtn1")->icon().isNull());
    EXPECT_FALSE(child<QPushButton>("BitBtn2")->icon().isNull());
    EXPECT_EQ(dialog->font().pixelSize(), 11);
    EXPECT_EQ(box("ComboBox1")->font().family(), QStringLiteral("MS Sans Serif"));

    QStringList minutes;
    for (int i = 0; i < box("ComboBox1")->count(); ++i)
        minutes << box("ComboBox1")->itemText(i);
    EXPECT_EQ(minutes.join(u' '), QStringLiteral("5 10 15 20 25 30 35 40"));
    QStringList seconds;
    for (int i = 0; i < box("ComboBox2")->count(); ++i)
        seconds << box("ComboBox2")->itemText(i);
    ASSERT_EQ(seconds.size(), 29);
    for (int i = 0; i < seconds.size(); ++i)
        EXPECT_EQ(seconds[i], QString::number(i + 2));
    EXPECT_TRUE(box("ComboBox1")->isEditable());
    EXPECT_TRUE(box("ComboBox2")->isEditable());
}

TEST_F(KevaliSettingsTest, FocusStartsOnOkAndTabRunsThroughTheBoxesToTheCheckBox)
{
    writeSettings(storedKevali);
    open();
    QApplication::setActiveWindow(dialog.get());
    QStringList order;
    for (int step = 0; step < 6; ++step) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        // A box's edit field stands for its box.
        if (focus->focusProxy())
            focus = focus->focusProxy();
        order << focus->objectName();
        pressKey(focus, Qt::Key_Tab);
    }
    EXPECT_EQ(order, (QStringList{QStringLiteral("BitBtn1"), QStringLiteral("BitBtn2"),
                                  QStringLiteral("ComboBox1"), QStringLiteral("ComboBox2"),
                                  QStringLiteral("Delay2"), QStringLiteral("BitBtn1")}));
}

TEST_F(KevaliSettingsTest, OpeningShowsTheStoredValuesNotTheListsFirstItems)
{
    writeSettings("\"intKevTotalTime\"=dword:0000002d\n"
                  "\"intKevStartBreath\"=dword:00000001\n"
                  "\"blKevDelay\"=dword:00000002\n");
    open();
    EXPECT_EQ(box("ComboBox1")->currentText(), QStringLiteral("45"));
    EXPECT_EQ(box("ComboBox2")->currentText(), QStringLiteral("1"));
    EXPECT_TRUE(delay()->isChecked());
    EXPECT_EQ(settings.intKevTotalTime, 45);
    EXPECT_EQ(settings.intKevStartBreath, 1);
    EXPECT_TRUE(settings.blKevDelay);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(KevaliSettingsTest, ValuesOutsideTheListsAreStoredAsTypedAndShownOnReopening)
{
    writeSettings(storedKevali);
    open();
    type("ComboBox1", QStringLiteral("45"));
    type("ComboBox2", QStringLiteral("1"));
    click("BitBtn1");
    EXPECT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(registryLine("intKevTotalTime"), "dword:0000002d");
    EXPECT_EQ(registryLine("intKevStartBreath"), "dword:00000001");
    EXPECT_EQ(registryLine("blKevDelay"), "dword:00000000");
    EXPECT_EQ(settings.intKevTotalTime, 45);
    EXPECT_EQ(settings.intKevStartBreath, 1);

    settings = {};
    open();
    EXPECT_EQ(box("ComboBox1")->currentText(), QStringLiteral("45"));
    EXPECT_EQ(box("ComboBox2")->currentText(), QStringLiteral("1"));
}

TEST_F(KevaliSettingsTest, DelayRoundTripsThroughTheStore)
{
    writeSettings(storedKevali);
    open();
    delay()->setChecked(true);
    click("BitBtn1");
    EXPECT_EQ(registryLine("blKevDelay"), "dword:00000001");
    EXPECT_TRUE(settings.blKevDelay);

    settings = {};
    open();
    EXPECT_TRUE(delay()->isChecked());
    delay()->setChecked(false);
    click("BitBtn1");
    EXPECT_EQ(registryLine("blKevDelay"), "dword:00000000");
    EXPECT_FALSE(settings.blKevDelay);

    open();
    EXPECT_FALSE(delay()->isChecked());
}

TEST_F(KevaliSettingsTest, RefusedTextKeepsTheDialogOpenOnItsBoxWithNothingWritten)
{
    const QString tooLong = QStringLiteral(
        "The practice must stay shorter than 24 hours and every breath shorter than an hour.");
    const struct {
        const char* box;
        const char* text;
        QString message;
    } cases[] = {
        {"ComboBox1", "", QStringLiteral("'' is not a valid integer value.")},
        {"ComboBox2", "2.5", QStringLiteral("'2.5' is not a valid integer value.")},
        {"ComboBox1", "0", QStringLiteral("The time of practice must be at least 1 minute.")},
        {"ComboBox2", "-1", QStringLiteral("The initial length must be at least 1 second.")},
        {"ComboBox1", "1440", tooLong},
        {"ComboBox2", "3600", tooLong},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(testing::Message() << entry.box << " '" << entry.text << "'");
        errors.clear();
        writeSettings(storedKevali);
        const QByteArray before = config.readRegistryFile();
        open();
        delay()->setChecked(true);
        type(entry.box, QString::fromUtf8(entry.text));
        const char* other = entry.box == std::string_view("ComboBox1") ? "ComboBox2" : "ComboBox1";
        type(other, QStringLiteral("9"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(errors, QStringList{entry.message});
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), box(entry.box));
        EXPECT_EQ(box(entry.box)->lineEdit()->selectedText(), QString::fromUtf8(entry.text));
        EXPECT_EQ(box(other)->currentText(), QStringLiteral("9"));
        EXPECT_TRUE(delay()->isChecked());
        EXPECT_EQ(settings.intKevTotalTime, 25);
        EXPECT_FALSE(settings.blKevDelay);
        click("BitBtn2");
        EXPECT_TRUE(closedWith(QDialog::Rejected));
        EXPECT_EQ(config.readRegistryFile(), before);
    }
}

TEST_F(KevaliSettingsTest, TheFirstEnterStoresTheNumbersAsTyped)
{
    const struct {
        const char* minutes;
        const char* breath;
    } cases[] = {
        {"4", "1"},     // prefixes of list items: 40, and 10 to 19
        {"45", "31"},   // outside the lists
        {"25", "7"},    // in them
        {"1300", " 5"}, // a long practice within a day; blanks before a number
    };
    const auto dword = [](const char* text) -> QByteArray {
        return "dword:" +
               QByteArray::number(QByteArray(text).trimmed().toInt(), 16).rightJustified(8, '0');
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(testing::Message() << entry.minutes << " and " << entry.breath);
        errors.clear();
        writeSettings(storedKevali);
        open();
        type("ComboBox1", QString::fromUtf8(entry.minutes));
        type("ComboBox2", QString::fromUtf8(entry.breath));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_TRUE(closedWith(QDialog::Accepted));
        EXPECT_TRUE(errors.isEmpty()) << errors.join(u'|').toStdString();
        EXPECT_EQ(registryLine("intKevTotalTime"), dword(entry.minutes));
        EXPECT_EQ(registryLine("intKevStartBreath"), dword(entry.breath));
        EXPECT_EQ(box("ComboBox1")->count(), 8); // Enter adds no item
    }
}

TEST_F(KevaliSettingsTest, CancelEscAndTheCloseBoxWriteNothing)
{
    enum class Way { Cancel, Esc, CloseBox };
    for (const Way way : {Way::Cancel, Way::Esc, Way::CloseBox}) {
        SCOPED_TRACE(static_cast<int>(way));
        settings = {};
        writeSettings(storedKevali);
        const QByteArray before = config.readRegistryFile();
        open();
        type("ComboBox1", QStringLiteral("30"));
        type("ComboBox2", QStringLiteral("9"));
        delay()->setChecked(true);
        switch (way) {
        case Way::Cancel:
            click("BitBtn2");
            break;
        case Way::Esc:
            pressKey(box("ComboBox2"), Qt::Key_Escape);
            break;
        case Way::CloseBox:
            dialog->close();
            break;
        }
        EXPECT_TRUE(closedWith(QDialog::Rejected));
        EXPECT_EQ(config.readRegistryFile(), before);
        EXPECT_EQ(settings.intKevTotalTime, 25);
        EXPECT_EQ(settings.intKevStartBreath, 7);
        EXPECT_FALSE(settings.blKevDelay);
    }
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(KevaliSettingsTest, ShowingTheSameValueAgainKeepsTheCaret)
{
    writeSettings(storedKevali);
    open();
    QLineEdit* edit = box("ComboBox1")->lineEdit();
    edit->setCursorPosition(1);
    dialog->FormCreate();
    EXPECT_EQ(edit->cursorPosition(), 1);
    EXPECT_EQ(edit->text(), QStringLiteral("25"));
}

TEST_F(KevaliSettingsTest, UnreadableValueOpensWithTheDesignTexts)
{
    writeSettings("\"intKevTotalTime\"=dword:00000019\n"
                  "\"intKevStartBreath\"=\"abc\"\n"
                  "\"blKevDelay\"=dword:00000001\n");
    settings.blKevDelay = true;
    open();
    EXPECT_EQ(errors, QStringList{QStringLiteral("Invalid data type for 'intKevStartBreath'")});
    EXPECT_EQ(box("ComboBox1")->currentText(), QStringLiteral("0"));
    EXPECT_EQ(box("ComboBox2")->currentText(), QStringLiteral("0"));
    EXPECT_FALSE(delay()->isChecked());
    EXPECT_EQ(settings.intKevTotalTime, 25); // read before the failing value
}

TEST_F(KevaliSettingsTest, FileThatCannotBeReadInFullShowsTheDefaultsAndOkStaysOpenSayingSo)
{
    config.writeRegistryFile("not a registry file\n");
    settings.intKevTotalTime = 15;
    open();
    EXPECT_EQ(box("ComboBox1")->currentText(), QStringLiteral("10"));
    EXPECT_EQ(box("ComboBox2")->currentText(), QStringLiteral("5"));
    EXPECT_FALSE(delay()->isChecked());

    type("ComboBox1", QStringLiteral("20"));
    click("BitBtn1");
    EXPECT_EQ(errors,
              QStringList{QStringLiteral("The Kevali settings could not be saved: line 1 of "
                                         "the settings file %1 is wrong.")
                              .arg(config.registryFile())});
    EXPECT_TRUE(dialog->isVisible()); // with what was typed, to save once the file is mended
    EXPECT_EQ(box("ComboBox1")->currentText(), QStringLiteral("20"));
    EXPECT_EQ(config.readRegistryFile(), QByteArray("not a registry file\n"));
}

} // namespace
