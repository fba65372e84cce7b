#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "support/common_dialog.h"
#include "support/path_dialog.h"
#include "support/widgets/qt_file_dialog_service.h"
#include "tests/common/fake_file_dialogs.h"
#include "tests/common/fake_platform.h"

namespace pbp {
namespace {

struct DialogFixture {
    DialogFixture() { fake.get().fileDialogs = &dialogs; }
    QStringList add(const QStringList& answer) {
        dialogs.answerFiles(answer);
        return GetPathAndFileName(nullptr, 0);
    }
    test::ScopedFakePlatform fake;
    test::FakeFileDialogService dialogs;
};

// Add answers every chosen path; Export saves one name; Cancel answers none without a message.
TEST(GetPathAndFileName, AddExportAndCancel) {
    DialogFixture f;
    EXPECT_EQ(f.add({"/data/plans/a.vsd", "/data/plans/c d.vst"}),
              (QStringList{"/data/plans/a.vsd", "/data/plans/c d.vst"}));

    const FileDialogRequest& request = f.dialogs.requests.at(0);
    EXPECT_TRUE(!request.save && request.allowMultiple);
    EXPECT_EQ(request.nameFilters, QStringList{"Visio Document (*.vsd *.vst *.vdx *.vtx)"});
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("vsd"));

    f.dialogs.answerFiles({QStringLiteral("/home/u/existing.csv")});
    EXPECT_EQ(GetPathAndFileName(nullptr, 1, QStringLiteral("Export Batch"), {}, {},
                                 QStringLiteral("Comma Seperated Values (*.csv)|*.csv")),
              QStringList{"/home/u/existing.csv"});
    const FileDialogRequest& exported = f.dialogs.requests.back();
    EXPECT_TRUE(exported.save && !exported.allowMultiple);
    EXPECT_EQ(exported.nameFilters, QStringList{QStringLiteral("Comma Seperated Values (*.csv)")});
    EXPECT_EQ(exported.defaultSuffix, QStringLiteral("csv"));

    EXPECT_TRUE(GetPathAndFileName(nullptr, 0).isEmpty());
    EXPECT_TRUE(GetPathAndFileName(nullptr, 1).isEmpty());
    EXPECT_TRUE(f.fake.messages.shown.empty());
    // Dangling filter fields are skipped; a description without patterns is kept.
    EXPECT_EQ(FilterToNameFilters(QStringLiteral("A (*.a)|*.a|B (old)|*.b; *.c|Dangling")),
              (QStringList{"A (*.a)", "B (old) (*.b *.c)"}));
}

TEST(GetPathAndFileName, NamesBeyondTheBufferShowTheTooManyFilesMessageOnce) {
    DialogFixture f;
    // "/f", NUL, the long name, NUL, "b" and the closing two NULs fill 32000 characters exactly.
    const auto chooseTwo = [&](qsizetype length) {
        return f.add({"/f/" + QString(length, QLatin1Char('a')), "/f/b"});
    };
    EXPECT_EQ(chooseTwo(31993).size(), 2);
    EXPECT_TRUE(f.fake.messages.shown.empty());
    EXPECT_TRUE(chooseTwo(31994).isEmpty());
    ASSERT_EQ(f.fake.messages.shown.size(), 1u);
    EXPECT_EQ(f.fake.messages.shown[0].text,
              "You have exceeded the maximum allowed file size.  Try selecting fewer files.");
}

// The real dialog, driven offscreen: saving over an existing file asks nothing.
TEST(QtFileDialogService, SaveOnAnExistingFileAnswersItsPathWithoutAsking) {
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("batch.csv"));
    QFile(existing).open(QIODevice::WriteOnly);
    FileDialogRequest request;
    request.save = true;
    request.initialDir = dir.path();
    request.nameFilters = {QStringLiteral("Comma Seperated Values (*.csv)")};
    request.defaultSuffix = QStringLiteral("csv");

    bool asked = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(QStringLiteral("batch"));
        QTimer::singleShot(0, [&] {
            // An overwrite question would be the modal widget now: note it and say Yes.
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                asked = true;
                QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
            }
        });
        auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        QTest::mouseClick(buttons->button(QDialogButtonBox::Save), Qt::LeftButton);
    });
    EXPECT_EQ(QtFileDialogService().run(request).files, QStringList{existing});
    EXPECT_FALSE(asked);
}

}  // namespace
}  // namespace pbp
