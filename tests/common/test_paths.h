#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>

namespace pbp::test {

// The project's source folder (fixtures live under tests/fixtures).
QString sourceDir();

// A drawing of the project's own fixtures (tests/fixtures/drawings).
QString fixtureDrawing(const QString& name);

// The whole file; empty when it cannot be read.
QByteArray fileBytes(const QString& path);

// Writes `bytes` to `path`, making its folder; fails the test when it cannot. Returns `path`.
QString writeFile(const QString& path, const QByteArray& bytes);

// The shared drawings written by others (../shared/testdata beside the project), or an empty
// text when that folder is absent. PLEN_SHARED_TESTDATA overrides the place.
QString sharedTestDataDir();

}  // namespace pbp::test

// Skips the current test with a clear message when the shared drawings are absent.
#define PLEN_REQUIRE_SHARED_TESTDATA()                                                  \
    do {                                                                                \
        if (::pbp::test::sharedTestDataDir().isEmpty())                                 \
            GTEST_SKIP() << "shared drawings not found (../shared/testdata beside the " \
                            "project, or PLEN_SHARED_TESTDATA); skipping";              \
    } while (0)
