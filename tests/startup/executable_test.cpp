#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

namespace {

TEST(Executable, InteractiveStartWithoutDisplayExitsWithAClearMessage) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(PLEN_EXECUTABLE), {QStringLiteral("/file=/home/silentbob/a.vsd")});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 3);
    EXPECT_TRUE(program.readAllStandardError().contains("no display"));
}

}  // namespace
