#include <QFile>

#include "tests/batch_window/window_fixture.h"
#include "tests/common/test_paths.h"

namespace pbp {
namespace {

using BatchLists = test::WindowTest;

TEST_F(BatchLists, ExportWritesThePathsJoinedAndImportAppendsEachListChosen) {
    displayPaths({"/c/a.vsd", "/d/b.vsdx"});
    const QString target = fake.tempPath("batch.csv");
    dialogs.answerFiles({target});
    dialogs.answerFiles({target, target});
    control<QAction>("mnuExportBatch")->trigger();
    EXPECT_EQ(test::fileBytes(target), QByteArray("/c/a.vsd, /d/b.vsdx"));
    control<QAction>("mnuImportBatch")->trigger();
    EXPECT_EQ(paths(), (QStringList{"/c/a.vsd", "/d/b.vsdx", "/c/a.vsd", "/d/b.vsdx", "/c/a.vsd",
                                    "/d/b.vsdx"}));
    EXPECT_TRUE(fake.messages.shown.empty());
}

// An export into a "folder" that is a plain file is reported and writes nothing; a binary file
// imported adds nothing.
TEST_F(BatchLists, UnwritableExportAndBinaryImportLeaveEverythingAsItWas) {
    displayPaths({"/c/a.vsd"});
    const QString blocker = fake.writeFile("notafolder", {});
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i) noise[i] = char((i * 37) % 256);
    const QString binary = fake.writeFile("binary.csv", noise);
    dialogs.answerFiles({blocker + QStringLiteral("/batch.csv")});
    dialogs.answerFiles({binary});
    control<QAction>("mnuExportBatch")->trigger();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(QStringLiteral("Problem in ")));
    EXPECT_EQ(test::fileBytes(blocker), QByteArray());
    control<QAction>("mnuImportBatch")->trigger();
    EXPECT_EQ(paths(), QStringList{"/c/a.vsd"});
}

}  // namespace
}  // namespace pbp
