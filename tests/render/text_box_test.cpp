// Text whose box libvisio hands over empty, and text that cannot be printed whole: where it
// lands and what the drawing's notes say.

#include <gtest/gtest.h>
#include <librevenge-stream/librevenge-stream.h>

#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "printing/engine/render/recorded_drawing.h"
#include "tests/common/pdf_tools.h"
#include "tests/common/test_paths.h"

namespace pbp {
namespace {

// A 4 x 3 in page: "Zero box" and "second line", left-aligned paragraphs in a 0 x 0 text block
// at 2 in, 1.5 in; "Private <U+10FFFD> sign" near the bottom, "Lost <U+FFFD> byte" near the top.
TEST(TextBox, AnEmptyBoxCentresItsLinesOnItsPointAndUnprintableTextIsNoted) {
    librevenge::RVNGFileStream stream(
        test::fixtureDrawing(QStringLiteral("text_box.vdx")).toLocal8Bit().constData());
    const render::RecordedDrawing drawing = render::RecordedDrawing::record(stream);

    QTemporaryDir dir;
    const QString pdf = dir.filePath("page.pdf");
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(drawing.pageSizeInches(0), QPageSize::Inch));
        writer.setPageMargins({});
        writer.setResolution(72);
        QPainter painter(&writer);
        drawing.paintPage(0, painter);
    }
    const QString words = test::toolOutput("pdftotext", {"-bbox", pdf, "-"});
    // Each word's box in inches from the page's top-left corner.
    const auto box = [&](const QString& word) {
        const QRegularExpressionMatch m =
            QRegularExpression(
                R"re(xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">)re" +
                QRegularExpression::escape(word) + "<")
                .match(words);
        if (!m.hasMatch()) return QRectF();
        const auto inches = [&](int i) { return m.captured(i).toDouble() / 72; };
        return QRectF(QPointF(inches(1), inches(2)), QPointF(inches(3), inches(4)));
    };
    // Not wrapped into the empty width: each paragraph is one line, centred on the box's point,
    // the two lines above and below it.
    const QRectF zero = box("Zero") | box("box"), second = box("second") | box("line");
    ASSERT_FALSE(zero.isEmpty() || second.isEmpty()) << words.toStdString();
    EXPECT_NEAR(box("Zero").top(), box("box").top(), 0.01);
    EXPECT_NEAR(box("second").top(), box("line").top(), 0.01);
    EXPECT_NEAR(zero.center().x(), 2, 0.05);
    EXPECT_NEAR(second.center().x(), 2, 0.05);
    EXPECT_NEAR(zero.bottom(), 1.5, 0.04);
    EXPECT_NEAR(second.top(), 1.5, 0.04);

    // Both other texts print, and each says what of it is missing.
    EXPECT_FALSE(box("Private").isEmpty() || box("Lost").isEmpty());
    const QStringList log = drawing.log();
    ASSERT_EQ(log.size(), 2) << log.join('\n').toStdString();
    EXPECT_TRUE(log[0].startsWith(u"Text \"Private")) << log[0].toStdString();
    EXPECT_TRUE(log[0].contains("1 character that no installed font can print"));
    EXPECT_TRUE(log[1].contains("1 character that could not be decoded")) << log[1].toStdString();
}

}  // namespace
}  // namespace pbp
