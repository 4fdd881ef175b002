#pragma once

#include <gtest/gtest.h>

#include <QString>

// Skips the test when something it needs is missing; in CI (CI=true), which installs every
// package the tests need, fails instead, naming the Debian package that brings it.
#define TOLVANE_REQUIRE(present, package)                                                          \
    do {                                                                                           \
        if (!(present)) {                                                                          \
            if (qEnvironmentVariable("CI") == u"true")                                             \
                FAIL() << "missing: the Debian package " << (package) << " is not installed";      \
            GTEST_SKIP() << "missing: the Debian package " << (package) << " is not installed";    \
        }                                                                                          \
    } while (false)
