#include "printing/printers/pdf_folder_printer.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <thread>

#include "printing/printers/cups_printer_system.h"
#include "support/vb_error.h"
#include "tests/printers/sample_pdf.h"

namespace pbp::printers {
namespace {

// Root writes into read-only folders; this takes that power away from the calling thread for
// the life of the object, so a read-only folder refuses the test as it would refuse a user.
class WithoutFileAccessOverride {
  public:
    WithoutFileAccessOverride() {
        if (::geteuid() != 0) return;
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        ::syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE | 1u << CAP_DAC_READ_SEARCH);
        active_ = ::syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~WithoutFileAccessOverride() {
        if (active_) ::syscall(SYS_capset, &header_, saved_);
    }

  private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool active_ = false;
};

class PdfFolderPrinterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        pdfPath = dir.filePath(QStringLiteral("job.pdf"));
        pdfBytes = test::writeSamplePdf(pdfPath, QStringLiteral("drawing"));
        folder = dir.filePath(QStringLiteral("out/PDF"));
    }
    void TearDown() override { qunsetenv("PLENBATCHPRINT_PDF_DIR"); }

    QStringList filesInFolder() const { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
    QString pdfPath;
    QByteArray pdfBytes;
    QString folder;
};

TEST_F(PdfFolderPrinterTest, JobsLandInTheConfiguredFolderWithoutOverwriting) {
    qputenv("PLENBATCHPRINT_PDF_DIR", QFile::encodeName(folder));
    CupsPrinterSystem system;
    for (int i = 0; i < 3; ++i)
        system.submit({kPdfPrinterName, pdfPath, 2, QStringLiteral("plan.vsd")});

    EXPECT_EQ(filesInFolder(),
              (QStringList{QStringLiteral("plan.vsd (2).pdf"), QStringLiteral("plan.vsd (3).pdf"),
                           QStringLiteral("plan.vsd.pdf")}));
    EXPECT_EQ(test::fileBytes(QDir(folder).filePath(QStringLiteral("plan.vsd (3).pdf"))), pdfBytes);
}

TEST_F(PdfFolderPrinterTest, TitlesBecomeSafeFileNamesKeepingUtf8) {
    EXPECT_EQ(pdfBaseNameForTitle(QStringLiteral("Grundriß Ω 図面.vsd")),
              QStringLiteral("Grundriß Ω 図面.vsd"));
    EXPECT_EQ(pdfBaseNameForTitle(QStringLiteral("../etc/passwd")),
              QStringLiteral("___etc_passwd"));
    EXPECT_EQ(pdfBaseNameForTitle(QStringLiteral("a\tb\nc")), QStringLiteral("a_b_c"));
    EXPECT_EQ(pdfBaseNameForTitle(QStringLiteral("  ")), QStringLiteral("document"));

    const QString longName = pdfBaseNameForTitle(QString(150, QChar(0x56FE)));  // 3 bytes each
    EXPECT_LE(longName.toUtf8().size(), 200);
    EXPECT_EQ(QString::fromUtf8(longName.toUtf8()), longName);

    const QString saved = savePdfInFolder(pdfPath, QStringLiteral("Plan Ø/1.vsd"), folder);
    EXPECT_EQ(QFileInfo(saved).fileName(), QStringLiteral("Plan Ø_1.vsd.pdf"));
    EXPECT_EQ(test::fileBytes(saved), pdfBytes);
}

TEST_F(PdfFolderPrinterTest, RacingJobsEachKeepACompleteFile) {
    constexpr int kPerThread = 15;
    auto save = [&] {
        for (int i = 0; i < kPerThread; ++i)
            savePdfInFolder(pdfPath, QStringLiteral("same"), folder);
    };
    QDir().mkpath(folder);
    std::thread first(save), second(save);
    first.join();
    second.join();

    const QStringList files = filesInFolder();
    EXPECT_EQ(files.size(), 2 * kPerThread) << files.join(QLatin1Char(',')).toStdString();
    for (const QString& name : files) {
        EXPECT_FALSE(name.startsWith(QLatin1Char('.')))
            << "temporary file left: " << name.toStdString();
        EXPECT_EQ(test::fileBytes(QDir(folder).filePath(name)), pdfBytes);
    }
}

TEST_F(PdfFolderPrinterTest, UnwritableFoldersGiveAnErrorNamingTheFolder) {
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    {
        WithoutFileAccessOverride restricted;
        try {
            savePdfInFolder(pdfPath, QStringLiteral("plan.vsd"), folder);
            FAIL() << "wrote into a read-only folder";
        } catch (const VbError& error) {
            EXPECT_EQ(error.number(), 75);
            EXPECT_TRUE(error.description().contains(folder)) << error.what();
        }
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(filesInFolder().isEmpty());

    const QString underAFile = pdfPath + QStringLiteral("/PDF");
    try {
        savePdfInFolder(pdfPath, QStringLiteral("plan.vsd"), underAFile);
        FAIL() << "wrote into a folder that cannot exist";
    } catch (const VbError& error) {
        EXPECT_TRUE(error.description().contains(underAFile)) << error.what();
    }
}

}  // namespace
}  // namespace pbp::printers
