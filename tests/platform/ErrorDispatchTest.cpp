#include "platform/ErrorDispatch.h"
#include "platform/Application.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace tolvane;
using namespace tolvane::platform;

namespace {

class ErrorDispatchTest : public testing::Test {
protected:
    void SetUp() override
    {
        setErrorReporter([this](const QString& text) { shown << text; });
    }
    void TearDown() override { setErrorReporter({}); }
    QStringList shown;
};

TEST_F(ErrorDispatchTest, FullStopIsAddedOnlyAfterCharactersSortingAfterIt)
{
    EXPECT_EQ(errorBoxText(QStringLiteral("Failed to create key \\SOFTWARE\\Tolvane")),
              QStringLiteral("Failed to create key \\SOFTWARE\\Tolvane."));
    EXPECT_EQ(errorBoxText(QStringLiteral("Failed to get data for 'intTop'")),
              QStringLiteral("Failed to get data for 'intTop'"));
    EXPECT_EQ(errorBoxText(QStringLiteral("Unknown error code")),
              QStringLiteral("Unknown error code."));
    EXPECT_EQ(errorBoxText(QStringLiteral("Done.")), QStringLiteral("Done."));
    EXPECT_EQ(errorBoxText(QStringLiteral("(see above)")), QStringLiteral("(see above)"));
    EXPECT_EQ(errorBoxText(QStringLiteral("2")), QStringLiteral("2."));
    EXPECT_EQ(errorBoxText(QString()), QString());
}

TEST_F(ErrorDispatchTest, FailureSkipsTheRestOfTheHandlerAndIsShownOnce)
{
    bool rest = false;
    dispatch([&] {
        throw ERegistryException(QStringLiteral("Failed to set data for 'intLeft'"));
        rest = true;
    });
    EXPECT_FALSE(rest);
    EXPECT_EQ(shown, QStringList{QStringLiteral("Failed to set data for 'intLeft'")});
}

TEST_F(ErrorDispatchTest, EveryProgramErrorKindIsCaught)
{
    dispatch([] { throw EConvertError(QStringLiteral("'x' is not a valid integer value")); });
    dispatch([] { throw EMCIDeviceError(QStringLiteral("Unknown error code")); });
    dispatch([] { throw std::runtime_error("out of memory"); });
    EXPECT_EQ(shown, (QStringList{QStringLiteral("'x' is not a valid integer value."),
                                  QStringLiteral("Unknown error code."),
                                  QStringLiteral("out of memory.")}));
}

TEST_F(ErrorDispatchTest, HandlerWithoutFailureShowsNothing)
{
    int calls = 0;
    dispatch([&] { ++calls; });
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(shown.isEmpty());
}

} // namespace
