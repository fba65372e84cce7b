// Drawings written by the tests, rendered to images and PDF and checked the way a reader of the
// printout would: what is there, what is left out, and what the text says.

#include <gtest/gtest.h>

#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

#include "support/vb_error.h"
#include "tests/render/render_helpers.h"
#include "tests/render/vdx_fixture.h"

namespace pbp {
namespace {

constexpr qreal kDpi = 72;

// The pixel at a point given in Visio's inches (y upwards) on a page `pageHeightIn` tall.
QColor pixelAt(const QImage& image, double xIn, double yIn, double pageHeightIn) {
    return image.pixelColor(int(xIn * kDpi), int((pageHeightIn - yIn) * kDpi));
}

int countPixels(const QImage& image, const QRect& area, const std::function<bool(QColor)>& match) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += match(image.pixelColor(x, y));
    return n;
}

QString pdfText(const render::RecordedDrawing& drawing, const QString& dir, QString* fonts) {
    const QString pdf = dir + "/page.pdf";
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(drawing.pageSizeInches(0), QPageSize::Inch));
        writer.setPageMargins({});
        writer.setResolution(1200);
        QPainter painter(&writer);
        painter.scale(1200.0 / 72, 1200.0 / 72);
        drawing.paintPage(0, painter);
    }
    QProcess text;
    text.start("pdftotext", {pdf, "-"});
    text.waitForFinished();
    QProcess fontList;
    fontList.start("pdffonts", {pdf});
    fontList.waitForFinished();
    *fonts = QString::fromUtf8(fontList.readAllStandardOutput());
    return QString::fromUtf8(text.readAllStandardOutput());
}

TEST(RenderFixture, ShapesOnANonPrintingLayerAreLeftOutAndTheRestIsPainted) {
    test::VdxShape hidden = test::square(1, 1.5, "#ff0000");
    hidden.layer = 1;
    hidden.text = "Hidden words";
    test::VdxShape shown = test::square(3, 1.5, "#0000ff");
    shown.text = "Printed words";
    const render::RecordedDrawing drawing =
        test::recordBytes(test::vdxDrawing(4, 3, {hidden, shown}));
    ASSERT_EQ(drawing.pageCount(), 1);
    EXPECT_EQ(drawing.pageSizeInches(0), QSizeF(4, 3));

    const QImage first = test::renderPage(drawing, 0, kDpi);
    EXPECT_EQ(pixelAt(first, 1.1, 1.1, 3), QColor(Qt::white)) << "non-printing shape was drawn";
    EXPECT_EQ(pixelAt(first, 3.1, 1.1, 3), QColor(Qt::blue));
    // The display list replays: a second paint gives the same page.
    EXPECT_EQ(test::renderPage(drawing, 0, kDpi), first);

    QTemporaryDir dir;
    QString fonts;
    const QString text = pdfText(drawing, dir.path(), &fonts);
    EXPECT_TRUE(text.contains("Printed words")) << text.toStdString();
    EXPECT_FALSE(text.contains("Hidden")) << text.toStdString();
}

TEST(RenderFixture, UnknownFontsPrintWithAMetricCompatibleFamily) {
    test::VdxShape bogus = test::square(1, 1, "#ffffff");
    bogus.text = "Bogus face";
    bogus.font = "NoSuchFontFamily 12345";
    test::VdxShape calibri = test::square(3, 1, "#ffffff");
    calibri.text = "Calibri face";
    calibri.font = "Calibri";
    QTemporaryDir dir;
    QString fonts;
    const QString text =
        pdfText(test::recordBytes(test::vdxDrawing(4, 2, {bogus})), dir.path(), &fonts);
    EXPECT_TRUE(text.contains("Bogus face"));
    EXPECT_TRUE(fonts.contains("LiberationSans")) << fonts.toStdString();
    pdfText(test::recordBytes(test::vdxDrawing(4, 2, {calibri})), dir.path(), &fonts);
    EXPECT_TRUE(fonts.contains("Carlito")) << fonts.toStdString();
}

TEST(RenderFixture, HatchFillsShowBothColoursAndArrowheadsStandOutOfTheLine) {
    test::VdxShape hatched = test::square(1.5, 1.5, "#0000ff");
    hatched.width = hatched.height = 2;
    hatched.fillPattern = 2;
    hatched.fillBackground = "#ffff00";
    test::VdxShape arrow = test::square(4.5, 1.5, "#ffffff");
    arrow.height = 2;
    arrow.fillPattern = 0;
    arrow.closed = false;
    arrow.lineXml = "<EndArrow>5</EndArrow><EndArrowSize>4</EndArrowSize>";
    const render::RecordedDrawing drawing =
        test::recordBytes(test::vdxDrawing(6, 3, {hatched, arrow}));
    const QImage image = test::renderPage(drawing, 0, kDpi);

    const QRect inside(int(0.7 * kDpi), int(0.7 * kDpi), int(1.6 * kDpi), int(1.6 * kDpi));
    const int blue =
        countPixels(image, inside, [](QColor c) { return c.blue() > 200 && c.red() < 80; });
    const int yellow =
        countPixels(image, inside, [](QColor c) { return c.red() > 200 && c.blue() < 80; });
    EXPECT_GT(blue, 50) << "no hatch lines";
    EXPECT_GT(yellow, inside.width() * inside.height() / 3) << "no hatch background";

    // The open path starts at the bottom-left corner of its box (4, 0.5 in) and ends at the
    // top-left one (4, 2.5 in), where the arrowhead inks clearly more than the bare line end.
    const auto inkAround = [&](double xIn, double yIn) {
        const QRect area(int(xIn * kDpi) - 8, int((3 - yIn) * kDpi) - 8, 17, 17);
        return countPixels(image, area, [](QColor c) { return c.lightness() < 160; });
    };
    EXPECT_GT(inkAround(4, 2.5), 1.5 * inkAround(4, 0.5));
}

TEST(RenderFixture, GarbageAndEmptyInputThrowAnErrorWithADescription) {
    for (const QByteArray& bytes :
         {QByteArray(), QByteArray("this is not a drawing at all"), QByteArray(4096, '\xff'),
          QByteArray("PK\x03\x04 truncated zip", 19)}) {
        try {
            test::recordBytes(bytes);
            ADD_FAILURE() << "accepted " << bytes.left(40).toStdString();
        } catch (const VbError& e) {
            EXPECT_FALSE(e.description().isEmpty());
        }
    }
}

}  // namespace
}  // namespace pbp
