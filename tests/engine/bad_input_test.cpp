#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "printing/engine/engine_factory.h"
#include "tests/common/test_paths.h"
#include "tests/engine/fake_printer_system.h"

namespace pbp::visio {
namespace {

QString fixture(const QString& name) {
    return test::sourceDir() + QStringLiteral("/tests/fixtures/drawings/") + name;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class BadInput : public ::testing::Test {
  protected:
    // Opening fails with a description naming the file, and the engine opens the next drawing.
    void expectOpenFails(const QString& path) {
        SCOPED_TRACE(path.toStdString());
        try {
            app->Documents()->Open(path);
            ADD_FAILURE() << "opened";
        } catch (const VbError& error) {
            EXPECT_NE(error.number(), 0);
            EXPECT_TRUE(error.description().contains(QDir::toNativeSeparators(path)))
                << error.description().toStdString();
        }
        EXPECT_THROW(app->ActiveDocument(), VbError);
        auto good = app->Documents()->Open(fixture(QStringLiteral("mixed_pages.vdx")));
        EXPECT_EQ(good->Pages()->Count(), 4);
        good->Close();
    }

    QTemporaryDir dir;
    test::FakePrinterSystem printers{dir.path()};
    LibVisioEngineFactory factory{printers};
    std::unique_ptr<Application> app = factory.CreateObject(QStringLiteral("Visio.Application"));
};

TEST_F(BadInput, MissingFoldersEmptyAndRandomFiles) {
    expectOpenFails(dir.filePath(QStringLiteral("missing.vsd")));
    expectOpenFails(QString());
    QDir(dir.path()).mkdir(QStringLiteral("folder.vsd"));
    expectOpenFails(dir.filePath(QStringLiteral("folder.vsd")));
    write(dir.filePath(QStringLiteral("empty.vsd")), {});
    expectOpenFails(dir.filePath(QStringLiteral("empty.vsd")));

    QRandomGenerator random(1234);
    QByteArray noise(64 * 1024, Qt::Uninitialized);
    for (char& byte : noise) byte = char(random.bounded(256));
    write(dir.filePath(QStringLiteral("random.vsd")), noise);
    expectOpenFails(dir.filePath(QStringLiteral("random.vsd")));
    write(dir.filePath(QStringLiteral("text.vdx")), "<html><body>not a drawing</body></html>");
    expectOpenFails(dir.filePath(QStringLiteral("text.vdx")));
    expectOpenFails(fixture(QStringLiteral("not_a_drawing.vsdx")));
}

TEST_F(BadInput, TruncatedDrawings) {
    const QByteArray xml = contents(fixture(QStringLiteral("mixed_pages.vdx")));
    write(dir.filePath(QStringLiteral("cut.vdx")), xml.left(xml.size() / 2));
    expectOpenFails(dir.filePath(QStringLiteral("cut.vdx")));

    PLEN_REQUIRE_SHARED_TESTDATA();
    const QByteArray binary =
        contents(test::sharedTestDataDir() + QStringLiteral("/vsd/Visio11FormatLine.vsd"));
    for (int parts : {2, 5, 50}) {
        const QString cut = dir.filePath(QStringLiteral("cut%1.vsd").arg(parts));
        write(cut, binary.left(binary.size() / parts));
        expectOpenFails(cut);
    }
}

TEST_F(BadInput, AnUnsupportedVisioVersion) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    QByteArray binary = contents(test::sharedTestDataDir() + QStringLiteral("/vsd/dwg.vsd"));
    const qsizetype stream = binary.indexOf("Visio (TM) Drawing");
    ASSERT_GE(stream, 0);
    binary[stream + 0x1A] = char(42);
    write(dir.filePath(QStringLiteral("future.vsd")), binary);
    expectOpenFails(dir.filePath(QStringLiteral("future.vsd")));
}

}  // namespace
}  // namespace pbp::visio
