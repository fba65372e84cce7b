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
#include <QWidget>

#include "support/path_dialog.h"
#include "support/program_state.h"
#include "support/qt_file_dialog_service.h"
#include "support/vb_error.h"
#include "tests/common/fake_file_dialogs.h"
#include "tests/common/fake_platform.h"

namespace pbp {
namespace {

const QString kTooMany =
    QStringLiteral("You have exceeded the maximum allowed file size.  Try selecting fewer files.");

struct DialogFixture {
    DialogFixture() { fake.get().fileDialogs = &dialogs; }
    test::ScopedFakePlatform fake;
    test::FakeFileDialogService dialogs;
};

QString nulJoined(const QStringList& pieces) {
    return pieces.join(QChar(0));
}

TEST(GetPathAndFileName, AddDialogAnswersOnePathOrTheFolderAndTheNames) {
    DialogFixture f;
    QWidget owner;
    f.dialogs.answerFiles({QStringLiteral("/data/plans/a.vsd")});
    EXPECT_EQ(GetPathAndFileName(g_oAddFilesDialog, &owner, 0),
              QStringLiteral("/data/plans/a.vsd"));

    f.dialogs.answerFiles({QStringLiteral("/data/plans/a.vsd"), QStringLiteral("/data/plans/b.vdx"),
                           QStringLiteral("/data/plans/c d.vst")});
    EXPECT_EQ(GetPathAndFileName(g_oAddFilesDialog, &owner, 0),
              nulJoined({"/data/plans", "a.vsd", "b.vdx", "c d.vst"}));
    f.dialogs.answerFiles({QStringLiteral("/a.vsd"), QStringLiteral("/b.vsd")});
    EXPECT_EQ(GetPathAndFileName(g_oAddFilesDialog, &owner, 0), nulJoined({"/", "a.vsd", "b.vsd"}));
    EXPECT_FALSE(g_oAddFilesDialog);

    const FileDialogRequest& request = f.dialogs.requests.at(0);
    EXPECT_EQ(request.owner, &owner);
    EXPECT_FALSE(request.save);
    EXPECT_TRUE(request.allowMultiple);
    EXPECT_TRUE(request.title.isEmpty());
    EXPECT_TRUE(request.initialDir.isEmpty());
    EXPECT_EQ(request.nameFilters,
              QStringList{QStringLiteral("Visio Document (*.vsd *.vst *.vdx *.vtx)")});
    EXPECT_EQ(request.selectedFilter, 0);
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("vsd"));
    EXPECT_TRUE(f.fake.messages.shown.empty());
}

TEST(GetPathAndFileName, ExportAsksForOneNameToSave) {
    DialogFixture f;
    f.dialogs.answerFiles({QStringLiteral("/home/u/existing.csv")});
    EXPECT_EQ(GetPathAndFileName(g_oExportDialog, nullptr, 1, QStringLiteral("Export Batch"), {},
                                 {}, QStringLiteral("Comma Seperated Values (*.csv)|*.csv")),
              QStringLiteral("/home/u/existing.csv"));
    const FileDialogRequest& request = f.dialogs.requests.at(0);
    EXPECT_TRUE(request.save);
    EXPECT_FALSE(request.allowMultiple);
    EXPECT_EQ(request.title, QStringLiteral("Export Batch"));
    EXPECT_EQ(request.nameFilters, QStringList{QStringLiteral("Comma Seperated Values (*.csv)")});
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("csv"));
    EXPECT_FALSE(g_oExportDialog);
}

TEST(GetPathAndFileName, CancelOrUnknownModeAnswersEmptyWithoutAMessage) {
    DialogFixture f;
    f.dialogs.answerCancel();
    f.dialogs.answerCancel();
    f.dialogs.answerCancel();
    EXPECT_TRUE(GetPathAndFileName(g_oAddFilesDialog, nullptr, 0).isEmpty());
    EXPECT_TRUE(
        GetPathAndFileName(g_oImportDialog, nullptr, 0, QStringLiteral("Import Batch")).isEmpty());
    EXPECT_TRUE(
        GetPathAndFileName(g_oExportDialog, nullptr, 1, QStringLiteral("Export Batch")).isEmpty());
    EXPECT_TRUE(GetPathAndFileName(g_oAddFilesDialog, nullptr, 2).isEmpty());
    EXPECT_EQ(f.dialogs.requests.size(), 3u);
    EXPECT_TRUE(f.fake.messages.shown.empty());
    EXPECT_FALSE(g_oAddFilesDialog || g_oImportDialog || g_oExportDialog);
}

TEST(GetPathAndFileName, NamesBeyondTheBufferShowTheTooManyFilesMessage) {
    DialogFixture f;
    // "/f", NUL, the long name, NUL, "b" and the closing two NULs fill 32000 characters exactly.
    const auto chooseTwo = [&](qsizetype firstNameLength) {
        f.dialogs.answerFiles({QStringLiteral("/f/") + QString(firstNameLength, QLatin1Char('a')),
                               QStringLiteral("/f/b")});
        return GetPathAndFileName(g_oAddFilesDialog, nullptr, 0);
    };
    EXPECT_EQ(chooseTwo(31993).size(), 31998);
    EXPECT_TRUE(f.fake.messages.shown.empty());
    EXPECT_TRUE(chooseTwo(31994).isEmpty());

    QStringList many;
    for (int i = 0; i < 1000; ++i)
        many.append(QStringLiteral("/srv/drawings/plant-%1-general-arrangement-sheet.vsd").arg(i));
    f.dialogs.answerFiles(many);
    EXPECT_TRUE(GetPathAndFileName(g_oAddFilesDialog, nullptr, 0).isEmpty());

    ASSERT_EQ(f.fake.messages.shown.size(), 2u);
    for (const test::ShownMessage& message : f.fake.messages.shown) {
        EXPECT_EQ(message.title, QStringLiteral("PlenPrint - Batch"));
        EXPECT_EQ(message.text, kTooMany);
        EXPECT_EQ(message.icon, MessageIcon::Exclamation);
    }
    EXPECT_FALSE(g_oAddFilesDialog);
}

TEST(GetPathAndFileName, OtherFailuresAreReported) {
    test::ScopedFakePlatform fake;  // no dialog service installed
    g_sAppTitle = QStringLiteral("PlenBatchPrint");
    EXPECT_TRUE(GetPathAndFileName(g_oAddFilesDialog, nullptr, 0).isEmpty());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(
        QStringLiteral("Problem in modFileOperations.GetPathAndFileName\r\nError Number: 91")));
    EXPECT_FALSE(g_oAddFilesDialog);
}

TEST(C_CommonDlg, OpenFillsPathAndFileNamesAndCancelErrorKeepsTheName) {
    DialogFixture f;
    C_CommonDlg dlg;
    dlg.Filter = QStringLiteral("A (*.a)|*.a|B (old)|*.b; *.c|Dangling");
    dlg.FilterIndex = 2;
    dlg.flags = OFN_ALLOWMULTISELECT;
    f.dialogs.answerFiles({QStringLiteral("/d/x.b"), QStringLiteral("/d/y.c")});
    dlg.ShowOpen();
    EXPECT_EQ(dlg.DefaultExt, QStringLiteral("*.b; *.c"));
    EXPECT_EQ(f.dialogs.requests[0].nameFilters, (QStringList{"A (*.a)", "B (old) (*.b *.c)"}));
    EXPECT_EQ(f.dialogs.requests[0].selectedFilter, 1);
    EXPECT_EQ(dlg.Path, QStringLiteral("/d"));
    EXPECT_TRUE(dlg.FullName.isEmpty());
    EXPECT_EQ(dlg.FileName, nulJoined({"/d", "x.b", "y.c"}));

    f.dialogs.answerFiles({QStringLiteral("/d/z.a")});
    dlg.ShowOpen();
    EXPECT_EQ(dlg.FullName, QStringLiteral("/d/z.a"));
    EXPECT_EQ(dlg.FileNames(), (QStringList{"x.b", "y.c", "/d/z.a"}));

    dlg.CancelError = true;
    f.dialogs.answerCancel();
    try {
        dlg.ShowSave();
        ADD_FAILURE() << "cancel raised nothing";
    } catch (const VbError& error) {
        EXPECT_EQ(error.number(), 32755);
    }
    EXPECT_EQ(dlg.FileName, QStringLiteral("/d/z.a"));
    dlg.CancelError = false;
    f.dialogs.answerCancel();
    dlg.ShowOpen();
    EXPECT_TRUE(dlg.FileName.isEmpty());
    EXPECT_EQ(GetOpenFileNameRecordSize(), 76);
}

// The real dialog, driven offscreen: saving over an existing file asks nothing.
TEST(QtFileDialogService, SaveOnAnExistingFileAnswersItsPathWithoutAsking) {
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("batch.csv"));
    QFile(existing).open(QIODevice::WriteOnly);

    FileDialogRequest request;
    request.save = true;
    request.title = QStringLiteral("Export Batch");
    request.initialDir = dir.path();
    request.nameFilters = {QStringLiteral("Comma Seperated Values (*.csv)")};
    request.defaultSuffix = QStringLiteral("csv");

    QString seenTitle;
    bool asked = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seenTitle = dialog->windowTitle();
        dialog->selectFile(QStringLiteral("batch"));
        auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        ASSERT_NE(buttons, nullptr);
        QTimer::singleShot(0, [&] {
            // An overwrite question would be the modal widget now: note it and say Yes.
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                asked = true;
                QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
            }
        });
        QTest::mouseClick(buttons->button(QDialogButtonBox::Save), Qt::LeftButton);
    });
    const FileDialogAnswer answer = QtFileDialogService().run(request);
    EXPECT_EQ(seenTitle, QStringLiteral("Export Batch"));
    EXPECT_EQ(answer.files, QStringList{existing});
    EXPECT_FALSE(asked);
}

}  // namespace
}  // namespace pbp
