#include <QFile>

#include "tests/batch_window/window_fixture.h"

namespace pbp {
namespace {

using BatchLists = test::WindowTest;

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(BatchLists, ExportWritesThePathsJoinedAndImportReadsThemBack) {
    displayPaths({"/c/a.vsd", "/d/b.vsd"});
    const QString target = fake.tempPath("batch.csv");
    dialogs.answers = {{target}, {target, target}};
    control<QAction>("mnuExportBatch")->trigger();
    EXPECT_EQ(contents(target), QByteArray("/c/a.vsd, /d/b.vsd"));
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_TRUE(dialogs.requests[0].save);
    EXPECT_EQ(dialogs.requests[0].title, QStringLiteral("Export Batch"));

    // Two lists chosen at once are appended in turn.
    control<QAction>("mnuImportBatch")->trigger();
    EXPECT_EQ(paths(), (QStringList{"/c/a.vsd", "/d/b.vsd", "/c/a.vsd", "/d/b.vsd", "/c/a.vsd",
                                    "/d/b.vsd"}));
    EXPECT_EQ(dialogs.requests[1].title, QStringLiteral("Import Batch"));
    EXPECT_EQ(status(), QStringLiteral("Items selected to print: 6"));
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(BatchLists, ExportOfAnEmptyListAsksNothingAndACancelledExportBeeps) {
    displayPaths({});
    control<QAction>("mnuExportBatch")->trigger();
    EXPECT_TRUE(dialogs.requests.empty());
    displayPaths({"/c/a.vsd"});
    control<QAction>("mnuExportBatch")->trigger();
    EXPECT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(fake.messages.beeps, 1);
}

TEST_F(BatchLists, ExportIntoAFolderThatCannotBeWrittenReportsAndWritesNothing) {
    displayPaths({"/c/a.vsd"});
    QFile blocker(fake.tempPath("notafolder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    dialogs.answers = {{fake.tempPath("notafolder/batch.csv")}};
    control<QAction>("mnuExportBatch")->trigger();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(QStringLiteral("Problem in ")));
    EXPECT_EQ(contents(fake.tempPath("notafolder")), QByteArray());
}

TEST_F(BatchLists, ImportOfABinaryFileAddsNothingAndKeepsTheList) {
    displayPaths({"/c/a.vsd"});
    const QString binary = fake.tempPath("binary.csv");
    QFile file(binary);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i) noise[i] = char((i * 37) % 256);
    file.write(noise);
    file.close();
    dialogs.answers = {{binary}};
    control<QAction>("mnuImportBatch")->trigger();
    EXPECT_EQ(paths(), QStringList{"/c/a.vsd"});
    EXPECT_EQ(status(), QStringLiteral("Items selected to print: 1"));
}

}  // namespace
}  // namespace pbp
