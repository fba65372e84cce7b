#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "printing/engine/engine_factory.h"
#include "tests/common/test_paths.h"
#include "tests/engine/fake_printer_system.h"
#include "tests/engine/pdf_probe.h"

namespace pbp::visio {
namespace {

const QSizeF kA4Portrait(595.276, 841.89);
const QSizeF kA4Landscape(841.89, 595.276);

QString fixture(const QString& name) {
    return test::sourceDir() + QStringLiteral("/tests/fixtures/drawings/") + name;
}

bool sameSize(const QSizeF& a, const QSizeF& b) {
    return qAbs(a.width() - b.width()) < 1 && qAbs(a.height() - b.height()) < 1;
}

class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(kept.isValid());
        app = factory.CreateObject(QStringLiteral("Visio.InvisibleApp"));
        ASSERT_TRUE(app);
    }

    std::shared_ptr<Document> open(const QString& path) { return app->Documents()->Open(path); }

    void print(Document& doc, int from, int to, const QString& printer, int copies) {
        doc.PrintOut(visPrintFromTo, qint16(from), qint16(to), false, printer, false, QString(),
                     qint16(copies), false, false);
    }

    // Description of the error `body` throws; empty when it throws none.
    template <class Body>
    QString errorOf(Body&& body) {
        try {
            body();
        } catch (const VbError& error) {
            EXPECT_NE(error.number(), 0);
            return error.description().isEmpty() ? QStringLiteral("(empty)") : error.description();
        }
        return {};
    }

    QTemporaryDir kept;
    test::FakePrinterSystem printers{kept.path()};
    LibVisioEngineFactory factory{printers};
    std::unique_ptr<Application> app;
};

TEST_F(EngineTest, CreatedOnlyForTheVisioProgramIdentifiers) {
    EXPECT_TRUE(factory.CreateObject(QStringLiteral("Visio.Application")));
    EXPECT_FALSE(factory.CreateObject(QStringLiteral("Excel.Application")));
    EXPECT_FALSE(factory.CreateObject(QStringLiteral("visio.invisibleapp")));
    EXPECT_EQ(app->WindowHandle32(), 0);
}

TEST_F(EngineTest, ForegroundPagesComeFirstWithTheirCells) {
    auto doc = open(fixture(QStringLiteral("mixed_pages.vdx")));
    EXPECT_EQ(app->ActiveDocument(), doc);
    auto pages = doc->Pages();
    ASSERT_EQ(pages->Count(), 4);
    const char* orientations[] = {"1", "0", "2", "0"};
    const double widths[] = {8.5, 11, 34, 8.5};
    for (int i = 1; i <= 4; ++i) {
        auto sheet = pages->Item(i)->PageSheet();
        EXPECT_EQ(pages->Item(i)->Background() != 0, i == 4) << i;
        EXPECT_EQ(sheet->Cells(QStringLiteral("PrintPageOrientation"))->Formula(),
                  QString::fromLatin1(orientations[i - 1]));
        EXPECT_DOUBLE_EQ(sheet->Cells(QStringLiteral("PageWidth"))->ResultIU(), widths[i - 1]);
    }
    EXPECT_DOUBLE_EQ(pages->Item(2)->PageSheet()->Cells(QStringLiteral("PageHeight"))->ResultIU(),
                     8.5);
    EXPECT_FALSE(errorOf([&] { pages->Item(5); }).isEmpty());
    EXPECT_FALSE(errorOf([&] { pages->Item(0); }).isEmpty());
    EXPECT_TRUE(errorOf([&] {
                    pages->Item(1)->PageSheet()->Cells(QStringLiteral("Colour"));
                }).contains(QStringLiteral("Colour")));
}

TEST_F(EngineTest, AllPagesAsUncollatedCopiesOnThePdfPrinter) {
    auto doc = open(fixture(QStringLiteral("mixed_pages.vdx")));
    print(*doc, 1, 3, printers::kPdfPrinterName, 2);
    ASSERT_EQ(printers.jobs.size(), 1u);
    const auto& job = printers.jobs[0];
    EXPECT_EQ(job.job.copies, 1);
    EXPECT_EQ(job.job.title, QStringLiteral("mixed_pages.vdx"));
    const auto sheets = test::pdfSheetSizes(job.keptPdf);
    ASSERT_EQ(sheets.size(), 6u);
    // Page 2 is landscape-shaped but asks for orientation 0: it stays portrait here.
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(sameSize(sheets[size_t(i)], kA4Portrait)) << i;
    EXPECT_TRUE(sameSize(sheets[4], kA4Landscape));
    EXPECT_TRUE(sameSize(sheets[5], kA4Landscape));

    const QString text = test::pdfText(job.keptPdf);
    EXPECT_EQ(text.count(QStringLiteral("Portrait page")), 2);
    EXPECT_EQ(text.count(QStringLiteral("Large poster page")), 2);
    EXPECT_TRUE(text.contains(QStringLiteral("Background art")));
    EXPECT_FALSE(text.contains(QStringLiteral("Hidden layer text")));
}

TEST_F(EngineTest, APrinterThatMakesCopiesGetsTheDocumentOnce) {
    auto doc = open(fixture(QStringLiteral("mixed_pages.vdx")));
    print(*doc, 2, 3, QStringLiteral("Capture"), 3);
    ASSERT_EQ(printers.jobs.size(), 1u);
    EXPECT_EQ(printers.jobs[0].job.copies, 3);
    EXPECT_EQ(printers.jobs[0].job.printerName, QStringLiteral("Capture"));
    const auto sheets = test::pdfSheetSizes(printers.jobs[0].keptPdf);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_TRUE(sameSize(sheets[0], QSizeF(612, 792)));  // the printer's Letter paper
    EXPECT_TRUE(sameSize(sheets[1], QSizeF(792, 612)));
}

TEST_F(EngineTest, OrientationChangesLiveInTheOpenedCopyOnly) {
    const QString path = fixture(QStringLiteral("mixed_pages.vdx"));
    const auto digest = [&] {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    };
    const QByteArray before = digest();
    auto doc = open(path);
    auto cell = doc->Pages()->Item(2)->PageSheet()->Cells(QStringLiteral("PrintPageOrientation"));
    cell->SetFormula(QStringLiteral("2"));
    EXPECT_EQ(cell->ResultIU(), 2.0);
    EXPECT_FALSE(errorOf([&] { cell->SetFormula(QStringLiteral("sideways")); }).isEmpty());
    print(*doc, 2, 2, printers::kPdfPrinterName, 1);
    EXPECT_TRUE(sameSize(test::pdfSheetSizes(printers.jobs[0].keptPdf).at(0), kA4Landscape));
    doc->Close();

    EXPECT_FALSE(errorOf([&] { cell->Formula(); }).isEmpty());
    EXPECT_FALSE(errorOf([&] { doc->Pages(); }).isEmpty());
    auto reopened = open(path);
    EXPECT_EQ(reopened->Pages()
                  ->Item(2)
                  ->PageSheet()
                  ->Cells(QStringLiteral("PrintPageOrientation"))
                  ->Formula(),
              QStringLiteral("0"));
    EXPECT_EQ(digest(), before);
}

TEST_F(EngineTest, ActiveDocumentIsTheLastOneStillOpen) {
    EXPECT_FALSE(errorOf([&] { app->ActiveDocument(); }).isEmpty());
    auto first = open(fixture(QStringLiteral("mixed_pages.vdx")));
    auto second = open(fixture(QStringLiteral("zero_size.vdx")));
    EXPECT_EQ(app->ActiveDocument(), second);
    second->Close();
    EXPECT_EQ(app->ActiveDocument(), first);
    app->Quit();
    EXPECT_FALSE(errorOf([&] { first->Pages(); }).isEmpty());
    EXPECT_FALSE(errorOf([&] { app->Documents(); }).isEmpty());
}

TEST_F(EngineTest, OnlyBackgroundPagesLeaveNothingToPrint) {
    auto doc = open(fixture(QStringLiteral("only_background.vdx")));
    auto pages = doc->Pages();
    ASSERT_EQ(pages->Count(), 1);
    EXPECT_NE(pages->Item(1)->Background(), 0);
    EXPECT_TRUE(errorOf([&] {
                    print(*doc, 1, 1, printers::kPdfPrinterName, 1);
                }).contains(QStringLiteral("only_background.vdx")));
    EXPECT_TRUE(printers.jobs.empty());
}

TEST_F(EngineTest, AZeroSizedPageFillsThePaper) {
    auto doc = open(fixture(QStringLiteral("zero_size.vdx")));
    EXPECT_EQ(doc->Pages()->Item(1)->PageSheet()->Cells(QStringLiteral("PageWidth"))->ResultIU(),
              0.0);
    print(*doc, 1, 1, printers::kPdfPrinterName, 1);
    const auto sheets = test::pdfSheetSizes(printers.jobs.at(0).keptPdf);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_TRUE(sameSize(sheets[0], kA4Portrait));
}

TEST_F(EngineTest, PrintRequestsTheDrawingCannotMeet) {
    auto doc = open(fixture(QStringLiteral("mixed_pages.vdx")));
    const QString pdf = printers::kPdfPrinterName;
    EXPECT_TRUE(
        errorOf([&] { print(*doc, 1, 4, pdf, 1); }).contains(QStringLiteral("mixed_pages.vdx")));
    EXPECT_FALSE(errorOf([&] { print(*doc, 3, 2, pdf, 1); }).isEmpty());
    EXPECT_FALSE(errorOf([&] { print(*doc, 1, 1, pdf, 0); }).isEmpty());
    EXPECT_TRUE(errorOf([&] {
                    print(*doc, 1, 1, QStringLiteral("Nowhere"), 1);
                }).contains(QStringLiteral("Nowhere")));
    EXPECT_TRUE(printers.jobs.empty());

    printers.refusal = QStringLiteral("client-error-not-possible");
    EXPECT_EQ(errorOf([&] { print(*doc, 1, 1, QStringLiteral("Capture"), 1); }),
              QStringLiteral("client-error-not-possible"));
    printers.refusal.clear();
    print(*doc, 1, 1, pdf, 1);
    EXPECT_EQ(printers.jobs.size(), 1u);
}

TEST_F(EngineTest, PrintDocumentsAreDeletedFromAPrivateFolder) {
    QTemporaryDir tmp;
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    auto doc = open(fixture(QStringLiteral("mixed_pages.vdx")));
    print(*doc, 1, 1, printers::kPdfPrinterName, 1);
    printers.refusal = QStringLiteral("refused");
    errorOf([&] { print(*doc, 1, 1, QStringLiteral("Capture"), 1); });
    const auto leftovers = [&] {
        QStringList found;
        for (const QString& folder : QDir(tmp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            found += QDir(tmp.filePath(folder)).entryList(QDir::Files);
        return found;
    };
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(',').toStdString();
    app->Quit();
    EXPECT_TRUE(QDir(tmp.path()).isEmpty());
    qputenv("TMPDIR", oldTmp);
}

}  // namespace
}  // namespace pbp::visio
