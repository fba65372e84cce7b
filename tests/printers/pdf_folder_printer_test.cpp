#include "printing/printers/pdf_folder_printer.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <thread>

#include "tests/common/pdf_tools.h"
#include "tests/common/raised.h"
#include "tests/common/test_paths.h"

namespace pbp::printers {
namespace {

class PdfFolderPrinterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        pdfBytes = test::samplePdf(QStringLiteral("drawing"));
        test::writeFile(pdfPath, pdfBytes);
    }

    QStringList filesInFolder() const { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
    QString pdfPath = dir.filePath(QStringLiteral("job.pdf"));
    QString folder = dir.filePath(QStringLiteral("out/PDF"));
    QByteArray pdfBytes;
};

TEST_F(PdfFolderPrinterTest, TitlesBecomeSafeFileNamesKeepingUtf8) {
    const std::pair<QString, QString> cases[] = {
        {"Grundriß Ω 図面.vsd", "Grundriß Ω 図面.vsd"},
        {"../etc/passwd", "___etc_passwd"},
        {"a\tb\nc", "a_b_c"},
        {"  ", "document"},
    };
    for (const auto& [title, name] : cases) EXPECT_EQ(pdfBaseNameForTitle(title), name);
    const QString longName = pdfBaseNameForTitle(QString(150, QChar(0x56FE)));  // 3 bytes each
    EXPECT_LE(longName.toUtf8().size(), 200);
    EXPECT_EQ(QString::fromUtf8(longName.toUtf8()), longName);
}

TEST_F(PdfFolderPrinterTest, RacingJobsEachKeepACompleteFile) {
    constexpr int kPerThread = 15;
    auto save = [&] {
        for (int i = 0; i < kPerThread; ++i)
            savePdfInFolder(pdfBytes, QStringLiteral("same"), folder);
    };
    QDir().mkpath(folder);
    std::thread first(save), second(save);
    first.join();
    second.join();

    // Each job a name of its own, numbered on from the title's, none overwritten.
    QStringList names{"same.pdf"};
    for (int n = 2; n <= 2 * kPerThread; ++n) names << QStringLiteral("same (%1).pdf").arg(n);
    names.sort();
    EXPECT_EQ(filesInFolder(), names);
    for (const QString& name : filesInFolder()) {
        EXPECT_FALSE(name.startsWith(QLatin1Char('.')))
            << "temporary file left: " << name.toStdString();
        EXPECT_EQ(test::fileBytes(QDir(folder).filePath(name)), pdfBytes);
    }
    // The next number is remembered, and a file another program put there is still skipped.
    const QString other = QDir(folder).filePath(QStringLiteral("same (31).pdf"));
    test::writeFile(other, "other");
    EXPECT_EQ(savePdfInFolder(pdfBytes, QStringLiteral("same"), folder),
              QDir(folder).filePath(QStringLiteral("same (32).pdf")));
    EXPECT_EQ(test::fileBytes(other), QByteArray("other"));
}

// A PDF is made as any new file of the user: 0644 under umask 022, 0600 under umask 077.
TEST_F(PdfFolderPrinterTest, PdfsAreCreatedWithTheUsersUmask) {
    QDir().mkpath(folder);
    const mode_t previous = ::umask(077);
    const QString kept = savePdfInFolder(pdfBytes, QStringLiteral("private"), folder);
    ::umask(022);
    const QString shared = savePdfInFolder(pdfBytes, QStringLiteral("shared"), folder);
    ::umask(previous);
    EXPECT_EQ(QFileInfo(kept).permissions() & 0x0777,
              QFileDevice::ReadUser | QFileDevice::WriteUser);
    EXPECT_EQ(QFileInfo(shared).permissions() & 0x0777,
              QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ReadGroup |
                  QFileDevice::ReadOther);
}

// /proc takes no files even from root; a path under a file cannot become a folder.
TEST_F(PdfFolderPrinterTest, UnwritableFoldersGiveAnErrorNamingTheFolder) {
    for (const QString& unwritable : {QStringLiteral("/proc"), QString(pdfPath + "/PDF")}) {
        const VbError error = test::raised(
            [&] { savePdfInFolder(pdfBytes, QStringLiteral("plan.vsd"), unwritable); });
        EXPECT_EQ(error.number(), 75) << unwritable.toStdString();
        EXPECT_TRUE(error.description().contains(unwritable)) << error.what();
    }
}

}  // namespace
}  // namespace pbp::printers
