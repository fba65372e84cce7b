#include <gtest/gtest.h>

#include <stdexcept>

#include "support/error_handling.h"
#include "support/program_state.h"
#include "tests/common/fake_platform.h"

namespace pbp {
namespace {

TEST(ErrorHandling, ReportsThreeLinesAndGuardedTurnsAnyFailureIntoFalse) {
    test::ScopedFakePlatform fake;
    g_sAppTitle = QStringLiteral("PlenBatchPrint");
    ReportError(QStringLiteral("frmPlenPrintBatch"), QStringLiteral("Display"),
                VbError(-2147221164, QStringLiteral("Class not registered")));
    EXPECT_TRUE(Guarded(QStringLiteral("m"), QStringLiteral("p"), [] {}));
    EXPECT_FALSE(Guarded(QStringLiteral("m"), QStringLiteral("p"),
                         [] { throw std::runtime_error("disk full"); }));
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_EQ(fake.messages.shown[0].title, QStringLiteral("PlenBatchPrint"));
    EXPECT_EQ(fake.messages.shown[0].text,
              QStringLiteral("Problem in frmPlenPrintBatch.Display\r\nError Number: -2147221164\r\n"
                             "Error Description: Class not registered"));
    EXPECT_TRUE(
        fake.messages.shown[1].text.endsWith(QStringLiteral("Error Description: disk full")));
}

}  // namespace
}  // namespace pbp
