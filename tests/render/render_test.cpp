// Drawings rendered to images and PDF and checked as a reader of the printout would: what is
// there, what is left out, where it lands and what the text says.

#include <gtest/gtest.h>
#include <librevenge-stream/librevenge-stream.h>
#include <librevenge/librevenge.h>

#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "printing/engine/render/font_substitution.h"
#include "printing/engine/render/picture_decoder.h"
#include "printing/engine/render/recorded_drawing.h"
#include "printing/engine/render/svg_path.h"
#include "printing/engine/render/text_builder.h"
#include "tests/common/pdf_tools.h"
#include "tests/common/test_paths.h"

namespace pbp {
namespace {

using render::RecordedDrawing;

// Records the fixture drawing (throws pbp::VbError as the renderer does).
RecordedDrawing recordFixture(const char* name) {
    librevenge::RVNGFileStream stream(
        test::fixtureDrawing(QString::fromLatin1(name)).toLocal8Bit().constData());
    return RecordedDrawing::record(stream);
}

// Paints page `index` on a white image at `dpi` (page in points scaled to the image).
QImage renderPage(const RecordedDrawing& drawing, int index, qreal dpi = 72) {
    const QSizeF inches = drawing.pageSizeInches(index);
    QImage image(std::max(1, qRound(inches.width() * dpi)),
                 std::max(1, qRound(inches.height() * dpi)), QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(dpi / 72, dpi / 72);
    drawing.paintPage(index, painter);
    return image;
}

constexpr qreal kDpi = 72;

const auto isRed = [](QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; };
const auto isBlue = [](QColor c) { return c.blue() > 200 && c.red() < 60 && c.green() < 60; };
const auto isGreen = [](QColor c) { return c.green() > 180 && c.red() < 80 && c.blue() < 80; };
const auto isWhite = [](QColor c) { return c.red() > 245 && c.green() > 245 && c.blue() > 245; };
const auto inked = [](QColor c) { return !isWhite(c); };
const auto dark = [](QColor c) { return c.lightness() < 128; };

// The pixels that match inside `area`: how many, their centre and their box, in pixels.
struct Ink {
    int count = 0;
    QPointF centre;
    QRect box;
};

Ink inkIn(const QImage& image, const QRect& area, const std::function<bool(QColor)>& match) {
    Ink ink;
    QPointF sum;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (match(image.pixelColor(x, y)))
                ++ink.count, sum += QPointF(x + 0.5, y + 0.5), ink.box |= QRect(x, y, 1, 1);
    ink.centre = ink.count == 0 ? QPointF(-1, -1) : sum / ink.count;
    return ink;
}

// Prints the drawing's first page to a PDF; returns the output of `tool` (pdftotext, pdffonts)
// run with `options`.
QString pdfReport(const RecordedDrawing& drawing, const QString& tool,
                  const QStringList& options = {}) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("page.pdf");
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(drawing.pageSizeInches(0), QPageSize::Inch));
        writer.setPageMargins({});
        writer.setResolution(1200);
        QPainter painter(&writer);
        painter.scale(1200.0 / 72, 1200.0 / 72);
        drawing.paintPage(0, painter);
    }
    return test::toolOutput(
        tool, options + (tool == "pdftotext" ? QStringList{pdf, "-"} : QStringList{pdf}));
}

// The box of `word` in `pdftotext -bbox` output, in inches from the page's top-left corner;
// empty when the word is not there.
QRectF wordBox(const QString& words, const QString& word) {
    const QRegularExpressionMatch m =
        QRegularExpression(
            R"re(xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">)re" +
            QRegularExpression::escape(word) + "<")
            .match(words);
    if (!m.hasMatch()) return QRectF();
    const auto inches = [&](int i) { return m.captured(i).toDouble() / 72; };
    return QRectF(QPointF(inches(1), inches(2)), QPointF(inches(3), inches(4)));
}

TEST(RenderFixture, NonPrintingLayersAreLeftOutAndUnknownFontsGetAMetricCompatibleFamily) {
    // A 4 x 3 in page: 1 in squares at PinY 1.5, a red one at PinX 1 on the layer that does not
    // print ("Hidden words") and a blue one at PinX 3 ("Printed words").
    const RecordedDrawing drawing = recordFixture("layers.vdx");
    ASSERT_EQ(drawing.pageCount(), 1);
    EXPECT_EQ(drawing.pageSizeInches(0), QSizeF(4, 3));

    const QImage first = renderPage(drawing, 0, kDpi);
    EXPECT_EQ(first.pixelColor(1.1 * kDpi, 1.9 * kDpi), QColor(Qt::white)) << "hidden shape drawn";
    EXPECT_EQ(first.pixelColor(3.1 * kDpi, 1.9 * kDpi), QColor(Qt::blue));
    // The display list replays: a second paint gives the same page.
    EXPECT_EQ(renderPage(drawing, 0, kDpi), first);

    const QString text = pdfReport(drawing, "pdftotext");
    EXPECT_TRUE(text.contains("Printed words")) << text.toStdString();
    EXPECT_FALSE(text.contains("Hidden")) << text.toStdString();

    // Unknown fonts print with a metric-compatible family: "Bogus face" in the font
    // "NoSuchFontFamily 1", "Calibri face" in Calibri.
    const RecordedDrawing faces = recordFixture("fonts.vdx");
    EXPECT_TRUE(pdfReport(faces, "pdftotext").contains("Bogus face"));
    const QString fonts = pdfReport(faces, "pdffonts");
    EXPECT_TRUE(fonts.contains("LiberationSans")) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains("Carlito"));
    // Windows' character-set variants print like the font itself, in pictures too.
    EXPECT_EQ(render::printFontFamily("Arial Cyr"), render::printFontFamily("Arial"));
    EXPECT_EQ(render::printFontFamily("Times New Roman CE"), "Liberation Serif");
}

// Where the ink of a circle, a turned text and a turned picture lands, from the file's cells.
TEST(Geometry, CirclesSitOnTheirPinAndTextAndPicturesTurnTheFilesWay) {
    // A 5 x 3 in page: a red 1 in circle (an Ellipse row, which libvisio passes as arcs
    // without a sweep flag) at PinX 1.5, PinY 2, centred 1.5 in, 1 in from the top-left; and a
    // text turned by Angle -30 degrees (clockwise) about PinX 3.5, PinY 1.5: it descends to the
    // right.
    const QImage page = renderPage(recordFixture("circle_and_turned_text.vdx"), 0, kDpi);
    const QPointF centre = inkIn(page, QRect(0, 0, 3 * kDpi, 3 * kDpi), isRed).centre / kDpi;
    EXPECT_NEAR(centre.x(), 1.5, 0.03);
    EXPECT_NEAR(centre.y(), 1.0, 0.03);
    const QPointF left =
        inkIn(page, QRect(2.4 * kDpi, 0, 1.1 * kDpi, 3 * kDpi), dark).centre / kDpi;
    const QPointF right =
        inkIn(page, QRect(3.5 * kDpi, 0, 1.1 * kDpi, 3 * kDpi), dark).centre / kDpi;
    EXPECT_NEAR((right.y() - left.y()) / (right.x() - left.x()), std::tan(M_PI / 6), 0.1);

    // A picture, left half red and right half blue, turned by +30 degrees (counter-clockwise)
    // about PinX 3, PinY 2 on a 6 x 4 in page: its blue half rises to the right.
    const QImage picture = renderPage(recordFixture("rotated_picture.vdx"), 0, kDpi);
    const QRect all = picture.rect();
    const QPointF redHalf = inkIn(picture, all, isRed).centre / kDpi;
    const QPointF blueHalf = inkIn(picture, all, isBlue).centre / kDpi;
    EXPECT_NEAR(std::atan2(redHalf.y() - blueHalf.y(), blueHalf.x() - redHalf.x()), M_PI / 6, 0.05);
}

// Line ends go where the file's geometry puts them and the line does not show past the tip.
TEST(Geometry, ArrowheadsEndEachOpenPathAndHideThickLinesUnderThem) {
    constexpr qreal dpi = 288;
    // A dimension line as Visio writes it at PinX 1.5: two open halves running out from the
    // middle, each with an end tick (EndArrow 13); thick lines (LineWeight 0.06) at PinX 2.5
    // and 3.5 ending in an open (EndArrow 1) and a filled (13) arrowhead. Each runs up to
    // y = 2.5 in (0.5 in from the top) on a 4 x 3 in page.
    const QImage page = renderPage(recordFixture("arrowheads.vdx"), 0, dpi);
    const auto inkNear = [&](double xIn, double yIn, int radius) {
        return inkIn(page,
                     QRect(int(xIn * dpi) - radius, int(yIn * dpi) - radius, 2 * radius + 1,
                           2 * radius + 1),
                     dark)
            .count;
    };
    // Both outer ends of the dimension line carry an arrowhead, well above a bare line's ink.
    const int bareLine = inkNear(1, 1.5, 20);
    EXPECT_GT(inkNear(1, 0.5 + 20.0 / dpi, 20), 3 * bareLine);
    EXPECT_GT(inkNear(1, 2.5 - 20.0 / dpi, 20), 3 * bareLine);
    // Past the tips of the thick lines' arrowheads the paper stays white.
    for (double x : {2.0, 3.0}) {
        SCOPED_TRACE(x);
        EXPECT_GT(inkNear(x, 0.5 + 30.0 / dpi, 20), 0);
        EXPECT_EQ(inkIn(page, QRect(int(x * dpi) - 30, int(0.5 * dpi) - 30, 61, 27), dark).count,
                  0);
    }
}

// A shape in a group that copies its master's outline and holds only the rows it changed
// prints the whole outline in its master's style, however libvisio looks masters up.
TEST(Geometry, AnOutlineCopiedFromAMasterPrintsWhole) {
    // A 4 x 3 in page: in a group without master, an instance of master 2 (a 1 in square, rows
    // 1 to 5, LineStyle 3: red, 0.04 in) resized to 2 x 1.5 in, holding rows 2 to 4 only
    // (F="Inh"). Its outline runs 1..3 in across and 0.75..2.25 in down.
    const QImage page = renderPage(recordFixture("inherited_outline.vdx"), 0, kDpi);
    const auto redNear = [&](double xIn, double yIn) {
        return inkIn(page, QRect(int(xIn * kDpi) - 3, int(yIn * kDpi) - 3, 7, 7), isRed).count;
    };
    EXPECT_GT(redNear(2, 0.75), 0) << "top";
    EXPECT_GT(redNear(2, 2.25), 0) << "bottom (row 2, from the inherited move)";
    EXPECT_GT(redNear(1, 1.5), 0) << "left (the inherited row 5)";
    EXPECT_GT(redNear(3, 1.5), 0) << "right";
    EXPECT_EQ(inkIn(page, QRect(0, 0, int(0.9 * kDpi), int(0.6 * kDpi)), inked).count, 0)
        << "ink near the page corner";
    EXPECT_EQ(
        inkIn(page, QRect(int(1.2 * kDpi), int(1 * kDpi), int(1.6 * kDpi), int(1 * kDpi)), inked)
            .count,
        0)
        << "ink inside the outline";
}

// Hatches show both colours; axial gradients keep the fill colour in the middle, rectangular
// ones run out to the box.
TEST(Geometry, HatchesAndGradientsPutTheirColoursWhereVisioDoes) {
    // 2 in squares at PinY 1.5 on a 9 x 3 in page: at PinX 1.5 a blue hatch (FillPattern 2) on
    // yellow, at 4.5 an axial gradient (26) and at 7.5 a rectangular one (35), red to yellow.
    const QImage page = renderPage(recordFixture("hatch_and_gradients.vdx"), 0, kDpi);
    const QRect inside(int(0.7 * kDpi), int(0.7 * kDpi), int(1.6 * kDpi), int(1.6 * kDpi));
    EXPECT_GT(inkIn(page, inside, isBlue).count, 50) << "no hatch lines";
    EXPECT_GT(inkIn(page, inside, [](QColor c) { return c.red() > 200 && c.blue() < 80; }).count,
              inside.width() * inside.height() / 3)
        << "no hatch background";

    const auto redness = [&](double xIn, double yIn) {
        const QColor c = page.pixelColor(int(xIn * kDpi), int(yIn * kDpi));
        return c.red() - c.green();
    };
    EXPECT_GT(redness(4.5, 1.5), 200) << "fill colour not in the middle";
    EXPECT_LT(std::min(redness(3.6, 1.5), redness(4.5, 0.6)), 40) << "edges not in the end colour";
    // Square rings: an edge's middle is as far out as a corner, unlike in a radial gradient.
    EXPECT_GT(redness(7.5, 1.5), 200);
    EXPECT_NEAR(redness(7.5, 0.6), redness(6.6, 0.6), 20);
}

// Set tab stops and bullets lay text out as the paragraph says; ligatures keep their letters in
// the PDF's text.
TEST(Geometry, TabStopsAndBulletsPlaceWordsAndThePdfKeepsEveryLetter) {
    // "hovercraft<tab>official" in Calibri (Carlito, which has ligatures for "ft" and "ffi"), in
    // a 5 in box at PinX 3 on a 6 in page; a paragraph with IndFirst -0.25, IndLeft 0.25, a
    // bullet "*" and a tab stop at 2 in.
    const QString words = pdfReport(recordFixture("tabs_and_bullet.vdx"), "pdftotext", {"-bbox"});
    const auto leftOf = [&](const QString& word) { return wordBox(words, word).left(); };
    // The box starts at 0.5 in: the bullet there, the text a label width on, the tab at 2 in.
    EXPECT_NEAR(leftOf("*"), 0.5, 0.05) << words.toStdString();
    EXPECT_NEAR(leftOf("hovercraft"), 0.75, 0.05);
    EXPECT_NEAR(leftOf("official"), 2.5, 0.05);
}

// A 4 x 3 in page: "Zero box" and "second line", left-aligned paragraphs in a 0 x 0 text block
// at 2 in, 1.5 in; "Private <U+10FFFD> sign" near the bottom, "Lost <U+FFFD> byte" near the top.
TEST(TextBox, AnEmptyBoxCentresItsLinesOnItsPointAndUnprintableTextIsNoted) {
    const RecordedDrawing drawing = recordFixture("text_box.vdx");
    const QString words = pdfReport(drawing, "pdftotext", {"-bbox"});
    const auto box = [&](const QString& word) { return wordBox(words, word); };
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

// Subscript and superscript runs (Char Pos 2 and 1) are set at 58% of their 0.5 in Size and
// lowered or raised by a third of it: "H H H", the second H subscript, the third superscript,
// left-aligned at the top of a 3 in box on a 4 x 2 in page.
TEST(Geometry, SubscriptAndSuperscriptAreSmallerAndLoweredOrRaised) {
    const QImage page = renderPage(recordFixture("sub_and_superscript.vdx"), 0, 4 * kDpi);
    // The ink of each H: a run of inked columns is one letter.
    std::vector<QRect> letters;
    bool gap = true;
    for (int x = 0; x < page.width(); ++x) {
        const QRect column = inkIn(page, QRect(x, 0, 1, page.height()), dark).box;
        if (column.isEmpty())
            gap = true;
        else if (gap)
            letters.push_back(column), gap = false;
        else
            letters.back() |= column;
    }
    ASSERT_EQ(letters.size(), 3u);
    const QRect normal = letters[0], sub = letters[1], super = letters[2];
    const qreal size = 0.5 * 72 * 4;  // the Size cell in pixels
    EXPECT_NEAR(sub.height(), 0.58 * normal.height(), 0.05 * normal.height());
    EXPECT_NEAR(super.height(), 0.58 * normal.height(), 0.05 * normal.height());
    // Baselines: the bottom of each H.
    EXPECT_NEAR(sub.bottom() - normal.bottom(), 0.33 * size, 0.04 * size);
    EXPECT_NEAR(normal.bottom() - super.bottom(), 0.33 * size, 0.04 * size);
    // Smaller letters are narrower too: the run no longer needs the width of full-sized ones.
    EXPECT_LT(sub.width(), 0.7 * normal.width());
}

// A hatched square a million times larger, painted at a millionth of the scale: its hatch
// lines, at the drawing's spacing far closer than a pixel, are counted in a wide type and
// drawn one device pixel apart, which shades the square with the hatch colour (all of them at
// the drawing's spacing took gigabytes).
TEST(RenderFixture, HatchOfAHugelyScaledDrawingIsPaintedAtTheDevicesResolution) {
    // A 2e6 in square at PinX, PinY 1.5e6 on a 3e6 in page, a blue hatch (FillPattern 2) on
    // yellow.
    const double scale = 1e6;
    const QImage image = renderPage(recordFixture("huge_hatch.vdx"), 0, kDpi / scale);
    const QRect inside(int(0.7 * kDpi), int(0.7 * kDpi), int(1.6 * kDpi), int(1.6 * kDpi));
    EXPECT_GT(inkIn(image, inside, isBlue).count, inside.width() * inside.height() / 5);
    EXPECT_EQ(image.pixelColor(int(0.2 * kDpi), int(0.2 * kDpi)), QColor(Qt::white));
}

// A paragraph that is one word of 3,000,000 characters is laid out whole, broken anywhere
// (measured word by word, Qt took minutes over it, beyond the test's time limit).
TEST(TextLayout, AHugeUnbrokenWordIsLaidOutInFull) {
    render::TextBlock block;
    block.boxPt = QRectF(0, 0, 200, 100);
    render::TextParagraph paragraph;
    paragraph.text = QString(3000000, u'x');
    block.source.push_back(paragraph);
    render::layOutText(block);
    ASSERT_EQ(block.paragraphs.size(), 1u);
    const QTextLayout& layout = *block.paragraphs.front();
    EXPECT_GT(layout.lineCount(), 1000);
    qsizetype laidOut = 0;
    for (int i = 0; i < layout.lineCount(); ++i) laidOut += layout.lineAt(i).textLength();
    EXPECT_EQ(laidOut, paragraph.text.size());
}

// Marker outlines and arcs as SVG path text, y growing downwards.
TEST(SvgPath, CommandsAndArcFlagsDrawTheOutlineTheTextDescribes) {
    const auto path = [](const char* d) { return render::pathFromSvgText(QString::fromLatin1(d)); };
    // Relative and implicit commands; broken data keeps what came before and never loops.
    EXPECT_EQ(path("m10 0-10 10h20z").boundingRect(), QRectF(0, 0, 20, 10));
    EXPECT_EQ(path("M0,0 q10,5 20,0 L20 10 1e1 1E1").currentPosition(), QPointF(10, 10));
    EXPECT_EQ(path("M0 0 L10 0 X 5 5").currentPosition(), QPointF(10, 0));
    EXPECT_TRUE(path("z 1 2 3").isEmpty());
    // The sweep flag picks the half above or below, radii too small for the chord grow to a
    // half circle, and a 100 x 50 ellipse turned by 90 degrees runs 200 down and 50 across.
    for (const auto& [d, box] : {std::pair("M0 0 A50 50 0 0 1 100 0", QRectF(0, -50, 100, 50)),
                                 std::pair("M0 0 a50 50 0 0 0 100 0", QRectF(0, 0, 100, 50)),
                                 std::pair("M0 0 A10 10 0 0 1 100 0", QRectF(0, -50, 100, 50)),
                                 std::pair("M0 0 A100 50 90 0 1 0 200", QRectF(0, 0, 50, 200))}) {
        const QRectF drawn = path(d).boundingRect();
        EXPECT_LT((drawn.topLeft() - box.topLeft()).manhattanLength() +
                      (drawn.bottomRight() - box.bottomRight()).manhattanLength(),
                  1)
            << d;
    }
    // Of a quarter circle's two arcs the large one is three times as long.
    EXPECT_NEAR(path("M0 0 A100 100 0 1 1 100 100").length(),
                3 * path("M0 0 A100 100 0 0 1 100 100").length(), 3);
}

// The fixtures (tests/fixtures/make_picture_drawings.py) place 4 x 2 inch pictures at 2..6 in
// across an 8 x 6 inch page, 2..4 in down unless said otherwise. Their left half is red, their
// right half holds a blue circle of radius 0.8 in centred 3 in across and 1 in down the
// picture, 0.2 in short of its right edge.
void expectRedAndBluePicture(const QImage& page, QPointF topLeftIn) {
    const auto at = [&](double x, double y) {
        return page.pixelColor(qRound((topLeftIn.x() + x) * kDpi),
                               qRound((topLeftIn.y() + y) * kDpi));
    };
    EXPECT_TRUE(isRed(at(0.08, 0.08)));  // the box's top-left corner
    EXPECT_TRUE(isRed(at(1.9, 1.9)));    // the end of its left half
    EXPECT_TRUE(isBlue(at(3, 1)));
    EXPECT_TRUE(isWhite(at(3.9, 0.08)));  // beside the circle, inside the box
    EXPECT_TRUE(isWhite(at(3.9, 1)));     // the margin right of the circle
    EXPECT_TRUE(isWhite(at(-0.17, 1)));   // left of the box
    EXPECT_TRUE(isWhite(at(1, 2.17)));    // below it
}

// EMF and WMF pictures at 2 in down; embedded objects drawn by their preview: above (0.5 in
// down) an Office-style preview whose WMF records draw a grey box and carry the picture as an
// EMF in comments, below (3.5 in down) a plain WMF preview, beside them an object without one.
TEST(MetafilePictures, MetafilesAndEmbeddedObjectsPreviewsAreDrawnInTheirBox) {
    const struct {
        const char* file;
        std::vector<double> tops;
        int notes;
    } cases[] = {{"emf_picture.vdx", {2}, 0},
                 {"wmf_picture.vdx", {2}, 0},
                 {"ole_objects.vdx", {0.5, 3.5}, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const RecordedDrawing drawing = recordFixture(c.file);
        const QStringList log = drawing.log();
        ASSERT_EQ(log.size(), c.notes) << log.join('\n').toStdString();
        if (c.notes > 0) {
            EXPECT_TRUE(log[0].contains("object/ole") && log[0].contains("no preview"));
        }
        const QImage page = renderPage(drawing, 0);
        for (const double top : c.tops) expectRedAndBluePicture(page, {2, top});
    }
}

// Pies, chords, arcs and an unfilled polyline, as EMF 0.5..2.5 in down and as WMF 3.5..5.5 in
// down (in the picture's units, 100 an inch): a red pie of three quarters about (100, 100)
// with its north-east quarter empty; a blue chord, the upper half of the circle about
// (300, 100); under it a green arc, the lower half of a circle of radius 80, and an open black
// triangle (230, 110), (370, 110), (300, 170). libemf2svg wrote pies so that QtSvg refused
// the whole picture, libwmf filled the polyline black and drew arcs of at most half a turn.
TEST(MetafilePictures, ArcsPiesChordsAndPolylinesDrawAsTheMetafileSays) {
    const RecordedDrawing drawing = recordFixture("metafile_arcs.vdx");
    EXPECT_TRUE(drawing.log().isEmpty()) << drawing.log().join('\n').toStdString();
    const QImage page = renderPage(drawing, 0);
    for (const double top : {0.5, 3.5}) {
        SCOPED_TRACE(top);
        const auto at = [&](int x, int y) {
            return page.pixelColor(qRound((2 + x / 100.0) * kDpi),
                                   qRound((top + y / 100.0) * kDpi));
        };
        EXPECT_TRUE(isRed(at(50, 50)) && isRed(at(50, 140)) && isRed(at(150, 140)));
        EXPECT_TRUE(isWhite(at(150, 50))) << "the pie's empty quarter is filled";
        EXPECT_TRUE(isBlue(at(300, 50)) && isBlue(at(220, 95)) && isBlue(at(380, 95)));
        EXPECT_TRUE(isWhite(at(300, 105))) << "the chord runs below its ends";
        EXPECT_TRUE(isWhite(at(300, 130))) << "the polyline is filled";
        EXPECT_TRUE(isWhite(at(250, 150))) << "the arc is filled";
        // The arc's lowest point (300, 180), and the triangle's tip (300, 170) above it.
        const QRect arcBottom(qRound(4.9 * kDpi), qRound((top + 1.76) * kDpi), qRound(0.2 * kDpi),
                              qRound(0.1 * kDpi));
        EXPECT_GT(inkIn(page, arcBottom, isGreen).count, 0) << "no arc under the chord";
        const auto black = [](QColor c) { return c.red() < 80 && c.green() < 80 && c.blue() < 80; };
        EXPECT_GT(inkIn(page, arcBottom.translated(0, qRound(-0.12 * kDpi)), black).count, 0)
            << "no triangle tip";
    }
}

TEST(MetafilePictures, DamagedPicturesLeaveAnEmptyBoxAndANote) {
    // A cut-off EMF, a WMF of nothing but its header, a bitmap claiming 200000 x 200000 pixels.
    const RecordedDrawing drawing = recordFixture("bad_pictures.vdx");
    const QStringList log = drawing.log();
    ASSERT_EQ(log.size(), 3) << log.join('\n').toStdString();
    EXPECT_TRUE(log[0].contains("image/emf") && log[0].contains("damaged"));
    EXPECT_TRUE(log[1].contains("image/wmf") && log[1].contains("damaged"));
    EXPECT_TRUE(log[2].contains("image/bmp"));
    const QImage page = renderPage(drawing, 0);
    for (int y = 0; y < page.height(); y += 7)
        for (int x = 0; x < page.width(); x += 7)
            ASSERT_TRUE(isWhite(page.pixelColor(x, y))) << x << "," << y;

    EXPECT_FALSE(render::decodePicture({}, "image/wmf").problem.isEmpty());
    // A sound PNG whose header claims 100000 x 100000 pixels is refused before anything is
    // allocated.
    const QByteArray png =
        test::fileBytes(test::sourceDir() + "/tests/fixtures/hostile/huge_header.png");
    EXPECT_TRUE(render::decodePicture(png, "image/png").problem.contains("100000 x 100000"));
}

// A 10 x 2 in page with a green 1 in picture at PinY 1 and PinX 1, 3, 5, 7 and 9, in each
// bitmap format libvisio hands over: PNG, JPEG, GIF, TIFF and Visio's own form, a DIB without a
// file header whose colour table lies in front of 8-bit pixels (so that the pixels do not
// start where a bare header ends). In the PDF only the JPEG stays JPEG; the others keep every
// pixel (Qt's PDF writer turned them all into JPEG, blurring line art).
TEST(BitmapPictures, EveryFormatLibvisioHandsOverIsDrawnAndStaysLossless) {
    const RecordedDrawing drawing = recordFixture("bitmap_formats.vdx");
    EXPECT_TRUE(drawing.log().isEmpty()) << drawing.log().join('\n').toStdString();
    const QImage page = renderPage(drawing, 0);
    for (int i = 0; i < 5; ++i) {
        const int centre = 72 * (1 + 2 * i);
        EXPECT_TRUE(isGreen(page.pixelColor(centre, 72))) << "format " << i;
        EXPECT_TRUE(isGreen(page.pixelColor(centre - 30, 45))) << "format " << i;
        EXPECT_TRUE(isWhite(page.pixelColor(centre + 45, 72))) << "format " << i;
    }
    const QString images = pdfReport(drawing, "pdfimages", {"-list"});
    EXPECT_EQ(images.count(QRegularExpression(" image +\\d+ +\\d+ +rgb .* jpeg ")), 1)
        << images.toStdString();
    EXPECT_EQ(images.count(QRegularExpression(" image +\\d+ +\\d+ +rgb .* image ")), 4);
}

}  // namespace
}  // namespace pbp
