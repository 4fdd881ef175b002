#include "platform/Convert.h"
#include "platform/Errors.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

using tolvane::EConvertError;
using tolvane::platform::StrToInt;

namespace {

QString failure(const char* text)
{
    try {
        StrToInt(QString::fromUtf8(text));
    } catch (const EConvertError& error) {
        return error.message();
    }
    return {};
}

TEST(StrToInt, AcceptsWhatTheStandardConversionAccepts)
{
    EXPECT_EQ(StrToInt(QStringLiteral("35")), 35);
    EXPECT_EQ(StrToInt(QStringLiteral(" 5")), 5);
    EXPECT_EQ(StrToInt(QStringLiteral("+7")), 7);
    EXPECT_EQ(StrToInt(QStringLiteral("-12")), -12);
    EXPECT_EQ(StrToInt(QStringLiteral("007")), 7);
    EXPECT_EQ(StrToInt(QStringLiteral("$1F")), 31);
    EXPECT_EQ(StrToInt(QStringLiteral("0x10")), 16);
    EXPECT_EQ(StrToInt(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(StrToInt(QStringLiteral("-2147483648")), -2147483647 - 1);
}

TEST(StrToInt, RefusesEverythingElseNamingTheText)
{
    for (const char* text : {"", " ", "+", "-", "5 ", "abc", "1.5", "2147483648", "99999999999",
                             "-2147483649", "$", "0x", "1e3", "١٢"}) {
        EXPECT_EQ(failure(text),
                  QStringLiteral("'%1' is not a valid integer value").arg(QString::fromUtf8(text)))
            << text;
    }
}

} // namespace
