// Drawings written by the tests and by others, rendered to images and PDF and checked the way
// a reader of the printout would: what is there, what is left out, and what the text says; and
// path geometry that is easy to get subtly wrong: arc direction and size, relative commands;
// and pictures: EMF and WMF metafiles and bitmaps in every format libvisio hands over land in
// their box, damaged ones leave the box empty and say so in the drawing's log.

#include <gtest/gtest.h>
#include <librevenge-stream/librevenge-stream.h>

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include "printing/engine/render/picture_decoder.h"
#include "printing/engine/render/recorded_drawing.h"
#include "printing/engine/render/svg_path.h"
#include "printing/engine/render/text_builder.h"
#include "tests/common/pdf_tools.h"
#include "tests/common/test_paths.h"

namespace pbp {
namespace {

using render::RecordedDrawing;

// A shape of a small Visio XML drawing written by a test: by default a red 1 x 1 inch square.
struct VdxShape {
    double pinX = 1, pinY = 1, width = 1, height = 1;  // inches, y upwards as Visio keeps it
    QString fill = "#ff0000";
    int fillPattern = 1;  // 0 none, 1 solid, 2.. patterns (hatches)
    QString fillBackground = "#ffffff";
    int layer = 0;
    bool closed = true;
    QString lineXml;  // extra cells inside <Line>
    QString text;
    QString font;      // a font name for the text, empty for the document default
    double angle = 0;  // radians, counter-clockwise as Visio keeps it
    QString geometry;  // <Geom> sections replacing the box outline
    QString sections;  // further sections (Para, Tabs, ...)
};

// Records the drawing in the file (throws pbp::VbError as the renderer does).
RecordedDrawing recordFile(const QString& path) {
    librevenge::RVNGFileStream stream(path.toLocal8Bit().constData());
    return RecordedDrawing::record(stream);
}

RecordedDrawing recordBytes(const QByteArray& bytes) {
    librevenge::RVNGStringStream stream(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                        unsigned(bytes.size()));
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

// Records one page of `widthIn` x `heightIn` inches with layer 0 printed and layer 1 not.
RecordedDrawing recordVdx(double widthIn, double heightIn, const QList<VdxShape>& shapes) {
    QString fonts, xml;
    int id = 1;
    for (const VdxShape& s : shapes) {
        if (!s.font.isEmpty())
            fonts = "<FaceNames><FaceName ID=\"1\" Name=\"" + s.font.toHtmlEscaped() +
                    "\"/></FaceNames>";
        xml += QString::asprintf(
            "<Shape ID=\"%d\" Type=\"Shape\"><XForm><PinX>%g</PinX><PinY>%g</PinY>"
            "<Width>%g</Width><Height>%g</Height><LocPinX>%g</LocPinX><LocPinY>%g</LocPinY>"
            "<Angle>%g</Angle></XForm><Line><LineWeight>0.01</LineWeight><LineColor>#000000"
            "</LineColor><LinePattern>1</LinePattern>%s</Line><Fill><FillForegnd>%s</FillForegnd>"
            "<FillBkgnd>%s</FillBkgnd><FillPattern>%d</FillPattern></Fill><LayerMem>"
            "<LayerMember>%d</LayerMember></LayerMem>%s",
            id++, s.pinX, s.pinY, s.width, s.height, s.width / 2, s.height / 2, s.angle,
            qUtf8Printable(s.lineXml), qUtf8Printable(s.fill), qUtf8Printable(s.fillBackground),
            s.fillPattern, s.layer, qUtf8Printable(s.sections));
        xml += !s.geometry.isEmpty()
                   ? s.geometry
                   : QString::asprintf(
                         "<Geom IX=\"0\"><NoFill>0</NoFill><NoLine>0</NoLine><MoveTo IX=\"1\">"
                         "<X>0</X><Y>0</Y></MoveTo><LineTo IX=\"2\"><X>%g</X><Y>0</Y></LineTo>"
                         "<LineTo IX=\"3\"><X>%g</X><Y>%g</Y></LineTo><LineTo IX=\"4\"><X>0</X>"
                         "<Y>%g</Y></LineTo>%s</Geom>",
                         s.width, s.width, s.height, s.height,
                         s.closed ? "<LineTo IX=\"5\"><X>0</X><Y>0</Y></LineTo>" : "");
        if (!s.text.isEmpty())
            xml += QStringLiteral("<Char IX=\"0\">%1<Size>0.1</Size></Char><Text>%2</Text>")
                       .arg(s.font.isEmpty() ? QString() : QStringLiteral("<Font>1</Font>"),
                            s.text.toHtmlEscaped());
        xml += "</Shape>";
    }
    return recordBytes(
        QString::asprintf(
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
            "<VisioDocument xmlns=\"http://schemas.microsoft.com/visio/2003/core\">%s"
            "<Pages><Page ID=\"0\" NameU=\"Page-1\"><PageSheet><PageProps><PageWidth>%g"
            "</PageWidth><PageHeight>%g</PageHeight></PageProps><Layer IX=\"0\"><Name>Shown"
            "</Name><Visible>1</Visible><Print>1</Print></Layer><Layer IX=\"1\"><Name>Screen only"
            "</Name><Visible>1</Visible><Print>0</Print></Layer></PageSheet><Shapes>%s</Shapes>"
            "</Page></Pages></VisioDocument>",
            qUtf8Printable(fonts), widthIn, heightIn, qUtf8Printable(xml))
            .toUtf8());
}

constexpr qreal kDpi = 72;

int countPixels(const QImage& image, const QRect& area, const std::function<bool(QColor)>& match) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += match(image.pixelColor(x, y));
    return n;
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

TEST(RenderFixture, ShapesOnANonPrintingLayerAreLeftOutAndTheRestIsPainted) {
    const RecordedDrawing drawing =
        recordVdx(4, 3,
                  {{.pinY = 1.5, .layer = 1, .text = "Hidden words"},
                   {.pinX = 3, .pinY = 1.5, .fill = "#0000ff", .text = "Printed words"}});
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
}

TEST(RenderFixture, UnknownFontsPrintWithAMetricCompatibleFamily) {
    VdxShape shape{.fill = "#ffffff", .text = "Bogus face", .font = "NoSuchFontFamily 1"};
    const RecordedDrawing bogus = recordVdx(4, 2, {shape});
    EXPECT_TRUE(pdfReport(bogus, "pdftotext").contains("Bogus face"));
    EXPECT_TRUE(pdfReport(bogus, "pdffonts").contains("LiberationSans"));
    shape.font = "Calibri";
    EXPECT_TRUE(pdfReport(recordVdx(4, 2, {shape}), "pdffonts").contains("Carlito"));
}

// The centre of the pixels that match inside `area`, in inches from the page's top-left.
QPointF inkCentre(const QImage& image, const QRect& area, qreal dpi,
                  const std::function<bool(QColor)>& match) {
    QPointF sum;
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (match(image.pixelColor(x, y))) {
                sum += QPointF(x + 0.5, y + 0.5);
                ++n;
            }
    return n == 0 ? QPointF(-1, -1) : sum / n / dpi;
}

bool dark(QColor c) {
    return c.lightness() < 128;
}

// Where the ink of a circle, a turned text and a turned picture lands, from the file's cells.
TEST(Geometry, CirclesSitOnTheirPinAndTextAndPicturesTurnTheFilesWay) {
    // A 1 in circle (an Ellipse row, which libvisio passes as arcs without a sweep flag) at
    // PinX 1.5, PinY 2 on a 5 x 3 in page: centred 1.5 in, 1 in from the top-left.
    const VdxShape circle{
        .pinX = 1.5,
        .pinY = 2,
        .geometry =
            "<Geom IX=\"0\"><NoFill>0</NoFill><NoLine>0</NoLine><Ellipse IX=\"1\"><X>0.5"
            "</X><Y>0.5</Y><A>1</A><B>0.5</B><C>0.5</C><D>1</D></Ellipse></Geom>"};
    // A text turned by -30 degrees (clockwise) about PinX 3.5, PinY 1.5: it descends to the
    // right.
    const VdxShape text{.pinX = 3.5,
                        .pinY = 1.5,
                        .width = 2.5,
                        .height = 0.5,
                        .text = "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMM",
                        .angle = -M_PI / 6,
                        .geometry = " "};
    const QImage page = renderPage(recordVdx(5, 3, {circle, text}), 0, kDpi);
    const auto red = [](QColor c) { return c.red() > 200 && c.green() < 80; };
    const QPointF centre = inkCentre(page, QRect(0, 0, 3 * kDpi, 3 * kDpi), kDpi, red);
    EXPECT_NEAR(centre.x(), 1.5, 0.03);
    EXPECT_NEAR(centre.y(), 1.0, 0.03);
    const QPointF left = inkCentre(page, QRect(2.4 * kDpi, 0, 1.1 * kDpi, 3 * kDpi), kDpi, dark);
    const QPointF right = inkCentre(page, QRect(3.5 * kDpi, 0, 1.1 * kDpi, 3 * kDpi), kDpi, dark);
    EXPECT_NEAR((right.y() - left.y()) / (right.x() - left.x()), std::tan(M_PI / 6), 0.1);

    // A picture, left half red and right half blue, turned by +30 degrees (counter-clockwise)
    // about PinX 3, PinY 2 on a 6 x 4 in page: its blue half rises to the right.
    const QImage picture =
        renderPage(recordFile(test::fixtureDrawing("rotated_picture.vdx")), 0, kDpi);
    const QRect all = picture.rect();
    const QPointF redHalf = inkCentre(picture, all, kDpi, red);
    const QPointF blueHalf =
        inkCentre(picture, all, kDpi, [](QColor c) { return c.blue() > 200 && c.red() < 80; });
    EXPECT_NEAR(std::atan2(redHalf.y() - blueHalf.y(), blueHalf.x() - redHalf.x()), M_PI / 6, 0.05);
}

// Line ends go where the file's geometry puts them and the line does not show past the tip.
TEST(Geometry, ArrowheadsEndEachOpenPathAndHideThickLinesUnderThem) {
    constexpr qreal dpi = 288;
    // A dimension line as Visio writes it: two open halves running out from the middle, each
    // with an end tick (here an arrowhead), and a thick line ending in an open and a filled
    // arrowhead. Each runs up to y = 2.5 in (0.5 in from the top).
    const QString halves =
        "<Geom IX=\"0\"><NoFill>1</NoFill><MoveTo IX=\"1\"><X>0</X><Y>1</Y></MoveTo><LineTo "
        "IX=\"2\"><X>0</X><Y>2</Y></LineTo></Geom><Geom IX=\"1\"><NoFill>1</NoFill><MoveTo "
        "IX=\"1\"><X>0</X><Y>1</Y></MoveTo><LineTo IX=\"2\"><X>0</X><Y>0</Y></LineTo></Geom>";
    const QString upwards =
        "<Geom IX=\"0\"><NoFill>1</NoFill><MoveTo IX=\"1\"><X>0</X><Y>0</Y></MoveTo><LineTo "
        "IX=\"2\"><X>0</X><Y>2</Y></LineTo></Geom>";
    const auto thick = [](int arrow) {
        return QStringLiteral(
                   "<LineWeight>0.06</LineWeight><EndArrow>%1</EndArrow>"
                   "<EndArrowSize>2</EndArrowSize>")
            .arg(arrow);
    };
    const QImage page = renderPage(
        recordVdx(
            4, 3,
            {{.pinX = 1.5,
              .pinY = 1.5,
              .height = 2,
              .lineXml = "<EndArrow>13</EndArrow><EndArrowSize>2</EndArrowSize>",
              .geometry = halves},
             {.pinX = 2.5, .pinY = 1.5, .height = 2, .lineXml = thick(1), .geometry = upwards},
             {.pinX = 3.5, .pinY = 1.5, .height = 2, .lineXml = thick(13), .geometry = upwards}}),
        0, dpi);
    const auto inkNear = [&](double xIn, double yIn, int radius) {
        return countPixels(
            page,
            QRect(int(xIn * dpi) - radius, int(yIn * dpi) - radius, 2 * radius + 1, 2 * radius + 1),
            dark);
    };
    // Both outer ends of the dimension line carry an arrowhead, well above a bare line's ink.
    const int bareLine = inkNear(1, 1.5, 20);
    EXPECT_GT(inkNear(1, 0.5 + 20.0 / dpi, 20), 3 * bareLine);
    EXPECT_GT(inkNear(1, 2.5 - 20.0 / dpi, 20), 3 * bareLine);
    // Past the tips of the thick lines' arrowheads the paper stays white.
    for (double x : {2.0, 3.0}) {
        SCOPED_TRACE(x);
        EXPECT_GT(inkNear(x, 0.5 + 30.0 / dpi, 20), 0);
        EXPECT_EQ(countPixels(page, QRect(int(x * dpi) - 30, int(0.5 * dpi) - 30, 61, 27), dark),
                  0);
    }
}

// Hatches show both colours; axial gradients keep the fill colour in the middle, rectangular
// ones run out to the box.
TEST(Geometry, HatchesAndGradientsPutTheirColoursWhereVisioDoes) {
    const auto square = [](double pinX, int pattern) {
        return VdxShape{.pinX = pinX,
                        .pinY = 1.5,
                        .width = 2,
                        .height = 2,
                        .fill = pattern == 2 ? "#0000ff" : "#ff0000",
                        .fillPattern = pattern,
                        .fillBackground = "#ffff00"};
    };
    const QImage page =
        renderPage(recordVdx(9, 3, {square(1.5, 2), square(4.5, 26), square(7.5, 35)}), 0, kDpi);
    const QRect inside(int(0.7 * kDpi), int(0.7 * kDpi), int(1.6 * kDpi), int(1.6 * kDpi));
    EXPECT_GT(countPixels(page, inside, [](QColor c) { return c.blue() > 200 && c.red() < 80; }),
              50)
        << "no hatch lines";
    EXPECT_GT(countPixels(page, inside, [](QColor c) { return c.red() > 200 && c.blue() < 80; }),
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
    const VdxShape shape{
        .pinX = 3,
        .pinY = 1,
        .width = 5,
        .height = 1,
        .fill = "#ffffff",
        .text = "hovercraft\tofficial",
        .font = "Calibri",  // Carlito, which has ligatures for "ft" and "ffi"
        .geometry = " ",
        .sections =
            "<Para IX=\"0\"><IndFirst>-0.25</IndFirst><IndLeft>0.25</IndLeft><HorzAlign>0"
            "</HorzAlign><Bullet>1</Bullet><BulletStr>*</BulletStr></Para><Tabs IX=\"0\">"
            "<Tab IX=\"0\"><Position>2</Position><Alignment>0</Alignment></Tab></Tabs>"};
    const QString words = pdfReport(recordVdx(6, 2, {shape}), "pdftotext", {"-bbox"});
    // Each word's left edge in inches from the page's left.
    const auto leftOf = [&](const QString& word) {
        const QRegularExpression re("xMin=\"([0-9.]+)\"[^>]*>" + QRegularExpression::escape(word) +
                                    "<");
        const QRegularExpressionMatch m = re.match(words);
        return m.hasMatch() ? m.captured(1).toDouble() / 72 : -1.0;
    };
    // The box starts at 0.5 in: the bullet there, the text a label width on, the tab at 2 in.
    EXPECT_NEAR(leftOf("*"), 0.5, 0.05) << words.toStdString();
    EXPECT_NEAR(leftOf("hovercraft"), 0.75, 0.05);
    EXPECT_NEAR(leftOf("official"), 2.5, 0.05);
}

// A hatched square a million times larger, painted at a millionth of the scale: its hatch
// lines, at the drawing's spacing far closer than a pixel, are counted in a wide type and
// drawn one device pixel apart, which shades the square with the hatch colour (all of them at
// the drawing's spacing took gigabytes).
TEST(RenderFixture, HatchOfAHugelyScaledDrawingIsPaintedAtTheDevicesResolution) {
    const double scale = 1e6;
    const VdxShape hatched{.pinX = 1.5 * scale,
                           .pinY = 1.5 * scale,
                           .width = 2 * scale,
                           .height = 2 * scale,
                           .fill = "#0000ff",
                           .fillPattern = 2,
                           .fillBackground = "#ffff00"};
    const QImage image = renderPage(recordVdx(3 * scale, 3 * scale, {hatched}), 0, kDpi / scale);
    const QRect inside(int(0.7 * kDpi), int(0.7 * kDpi), int(1.6 * kDpi), int(1.6 * kDpi));
    EXPECT_GT(countPixels(image, inside, [](QColor c) { return c.blue() > 200 && c.red() < 80; }),
              inside.width() * inside.height() / 5);
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

// The path from (0, 0) with one arc appended.
QPainterPath arc(double rx, double ry, double angle, bool large, bool sweep, QPointF to) {
    QPainterPath path(QPointF(0, 0));
    render::appendSvgArc(path, rx, ry, angle, large, sweep, to);
    return path;
}

void expectNear(const QPointF& actual, const QPointF& expected) {
    EXPECT_NEAR(actual.x(), expected.x(), 0.5);
    EXPECT_NEAR(actual.y(), expected.y(), 0.5);
}

TEST(SvgArc, SweepFlagAndLargeArcChooseTheRightHalfAndSize) {
    // y grows downwards: a positive sweep from (0,0) to (100,0) passes above, through y = -50.
    const QPainterPath sweep = arc(50, 50, 0, false, true, {100, 0});
    expectNear(sweep.pointAtPercent(0.5), {50, -50});
    EXPECT_EQ(sweep.currentPosition(), QPointF(100, 0));
    expectNear(arc(50, 50, 0, false, false, {100, 0}).pointAtPercent(0.5), {50, 50});
    // A quarter of a circle of radius 100: the small arc bulges 29 units, the large one 171.
    EXPECT_NEAR(arc(100, 100, 0, false, true, {100, 100}).length(), M_PI * 50, 1);
    EXPECT_NEAR(arc(100, 100, 0, true, true, {100, 100}).length(), M_PI * 150, 2);
    // Radii too small for the chord are scaled up to a half ellipse, never dropped.
    expectNear(arc(10, 10, 0, false, true, {100, 0}).pointAtPercent(0.5), {50, -50});
    // A rotated ellipse: axes 100 x 50 turned by 90 degrees runs 100 units tall.
    EXPECT_NEAR(arc(100, 50, 90, false, true, {0, 200}).boundingRect().width(), 50, 0.5);
}

TEST(SvgPathText, MarkerOutlinesWithRelativeAndImplicitCommandsParse) {
    EXPECT_EQ(render::pathFromSvgText("m10 0-10 10h20z").boundingRect(), QRectF(0, 0, 20, 10));
    const QPainterPath curve = render::pathFromSvgText("M0,0 q10,5 20,0 L20 10 1e1 1E1");
    EXPECT_EQ(curve.currentPosition(), QPointF(10, 10));
    EXPECT_NEAR(curve.boundingRect().height(), 10, 1e-9);
    // Broken data keeps what came before and never loops.
    EXPECT_EQ(render::pathFromSvgText("M0 0 L10 0 X 5 5").currentPosition(), QPointF(10, 0));
    EXPECT_TRUE(render::pathFromSvgText("z 1 2 3").isEmpty());
}

QString shared(const QString& relative) {
    return test::sharedTestDataDir() + "/" + relative;
}

TEST(SharedDrawings, EveryPageOfEveryDrawingPaintsSomething) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    int painted = 0;
    for (const char* folder : {"vsd", "vdx", "vsdx"}) {
        for (const QFileInfo& file :
             QDir(shared(QString::fromLatin1(folder))).entryInfoList(QDir::Files)) {
            SCOPED_TRACE(file.fileName().toStdString());
            const RecordedDrawing drawing = recordFile(file.filePath());
            for (int page = 0; page < drawing.pageCount(); ++page) {
                if (drawing.pageSizeInches(page).isEmpty()) continue;
                const QImage image = renderPage(drawing, page, 24);
                QImage blank(image.size(), image.format());
                blank.fill(Qt::white);
                const bool inked = image != blank;
                // Background pages of some drawings are blank; foreground page 1 never is.
                if (page == 0) EXPECT_TRUE(inked) << "page 1 is blank";
                painted += inked;
            }
        }
    }
    EXPECT_GT(painted, 20);
}

bool isRed(QColor c) {
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}
bool isBlue(QColor c) {
    return c.blue() > 200 && c.red() < 60 && c.green() < 60;
}
bool isGreen(QColor c) {
    return c.green() > 180 && c.red() < 80 && c.blue() < 80;
}
bool isWhite(QColor c) {
    return c.red() > 245 && c.green() > 245 && c.blue() > 245;
}

QByteArray encoded(const char* format) {
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(QColor(0, 255, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return bytes;
}

// The fixtures (tests/fixtures/make_picture_drawings.py) place a 4 x 2 inch picture at 2..6 in
// across and 2..4 in down an 8 x 6 inch page; its left half is red, its right half holds a
// blue circle centred 5 in across and 3 in down.
TEST(MetafilePictures, EmfAndWmfAreDrawnInTheirBox) {
    for (const QString name : {"emf_picture.vdx", "wmf_picture.vdx"}) {
        SCOPED_TRACE(name.toStdString());
        const RecordedDrawing drawing = recordFile(test::fixtureDrawing(name));
        EXPECT_TRUE(drawing.log().isEmpty()) << drawing.log().join('\n').toStdString();
        const QImage page = renderPage(drawing, 0);
        EXPECT_TRUE(isRed(page.pixelColor(150, 150)));  // the box's top-left corner
        EXPECT_TRUE(isRed(page.pixelColor(282, 282)));  // the end of its left half
        EXPECT_TRUE(isBlue(page.pixelColor(360, 216)));
        EXPECT_TRUE(isWhite(page.pixelColor(425, 150)));  // beside the circle, inside the box
        EXPECT_TRUE(isWhite(page.pixelColor(138, 216)));  // left of the box
        EXPECT_TRUE(isWhite(page.pixelColor(216, 294)));  // below it
    }
}

TEST(MetafilePictures, DamagedPicturesLeaveAnEmptyBoxAndANote) {
    // A cut-off EMF, a WMF of nothing but its header, a bitmap claiming 200000 x 200000 pixels.
    const RecordedDrawing drawing = recordFile(test::fixtureDrawing("bad_pictures.vdx"));
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
    // A PNG header claiming 100000 x 100000 pixels is refused before anything is allocated.
    QByteArray png = encoded("PNG");
    qToBigEndian<quint32>(100000, png.data() + 16);
    qToBigEndian<quint32>(100000, png.data() + 20);
    quint32 crc = 0xffffffff;  // the header chunk's CRC-32 over its type and data
    for (int i = 12; i < 29; ++i) {
        crc ^= quint8(png[i]);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320 & (0 - (crc & 1)));
    }
    qToBigEndian<quint32>(~crc, png.data() + 29);
    EXPECT_TRUE(render::decodePicture(png, "image/png").problem.contains("100000 x 100000"));
}

// Visio's own form of a bitmap: a DIB without a file header, here with a colour table (green,
// black) in front of 8-bit pixels, so that the pixels do not start where a bare header ends.
QByteArray palettedDib() {
    QByteArray dib(40, '\0');
    qToLittleEndian<quint32>(40, dib.data());
    qToLittleEndian<qint32>(4, dib.data() + 4);
    qToLittleEndian<qint32>(2, dib.data() + 8);
    qToLittleEndian<quint16>(1, dib.data() + 12);
    qToLittleEndian<quint16>(8, dib.data() + 14);
    qToLittleEndian<quint32>(2, dib.data() + 32);
    dib += QByteArray::fromHex(
        "00ff0000"
        "00000000");
    dib += QByteArray(8, '\0');
    return dib;
}

TEST(BitmapPictures, EveryFormatLibvisioHandsOverIsDrawn) {
    // A 1 x 1 GIF whose one colour is green (Qt writes no GIF).
    const QByteArray gif = QByteArray::fromHex(
        "474946383961010001008000"
        "0000ff000000002c00000000010001000002024401003b");
    const QList<std::pair<QString, QByteArray>> pictures = {
        {"PNG", encoded("PNG")},   {"JPEG", encoded("JPEG")}, {"GIF", gif},
        {"TIFF", encoded("TIFF")}, {"", palettedDib()},
    };
    QString shapes;
    for (int i = 0; i < pictures.size(); ++i) {
        const auto& [compression, bytes] = pictures[i];
        shapes += QStringLiteral(
                      "<Shape ID='%1' Type='Foreign'><XForm><PinX>%2</PinX><PinY>1</PinY>"
                      "<Width>1</Width><Height>1</Height><LocPinX>0.5</LocPinX><LocPinY>0.5"
                      "</LocPinY></XForm><Foreign><ImgOffsetX>0</ImgOffsetX><ImgOffsetY>0"
                      "</ImgOffsetY><ImgWidth>1</ImgWidth><ImgHeight>1</ImgHeight></Foreign>"
                      "<ForeignData ForeignType='Bitmap'%3>%4</ForeignData></Shape>")
                      .arg(i + 1)
                      .arg(1 + 2 * i)
                      .arg(compression.isEmpty()
                               ? QString()
                               : QStringLiteral(" CompressionType='%1'").arg(compression),
                           QString::fromLatin1(bytes.toBase64()));
    }
    const RecordedDrawing drawing = recordBytes(
        QStringLiteral("<?xml version='1.0' encoding='utf-8' ?><VisioDocument "
                       "xmlns='urn:schemas-microsoft-com:office:visio'><Pages><Page ID='0'>"
                       "<PageSheet><PageProps><PageWidth>10</PageWidth><PageHeight>2"
                       "</PageHeight></PageProps></PageSheet><Shapes>%1</Shapes></Page></Pages>"
                       "</VisioDocument>")
            .arg(shapes)
            .toUtf8());
    EXPECT_TRUE(drawing.log().isEmpty()) << drawing.log().join('\n').toStdString();
    const QImage page = renderPage(drawing, 0);
    for (int i = 0; i < pictures.size(); ++i) {
        const int centre = 72 * (1 + 2 * i);
        EXPECT_TRUE(isGreen(page.pixelColor(centre, 72))) << "format " << i;
        EXPECT_TRUE(isGreen(page.pixelColor(centre - 30, 45))) << "format " << i;
        EXPECT_TRUE(isWhite(page.pixelColor(centre + 45, 72))) << "format " << i;
    }
}

}  // namespace
}  // namespace pbp
