// Text in metafile pictures prints as text, where QtSvg would draw its outlines, and in the
// order of the picture's other ink.

#include <gtest/gtest.h>
#include <librevenge-stream/librevenge-stream.h>

#include <QPainter>
#include <QPdfWriter>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include "printing/engine/render/clipped_svg.h"
#include "printing/engine/render/recorded_drawing.h"
#include "tests/common/pdf_tools.h"
#include "tests/common/test_paths.h"

namespace pbp {
namespace {

using render::RecordedDrawing;

QImage white(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The bounds of the pixels darker than the background, and how many there are.
std::pair<QRect, int> ink(const QImage& image) {
    QRect bounds;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 160) {
                bounds |= QRect(x, y, 1, 1);
                ++count;
            }
    return {bounds, count};
}

// Text elements as libemf2svg and libwmf write them: anchored at the start, middle and end,
// italic, turned by the element's own transform and by its group's, styled by a style
// attribute, and one a converter's clip-path names.
TEST(SvgText, PaintsTextWhereQtSvgDrawsItsOutlines) {
    const char* const texts[] = {
        R"~(<text font-family="Liberation Sans" fill="#000000" style ="white-space:pre;" )~"
        R"~(font-weight="700" text-anchor="start" x="20" y="60" font-size="30">Plan 42</text>)~",
        R"~(<text font-family="Liberation Serif" text-anchor="middle" x="150" y="60" )~"
        R"~(font-size="24" font-style="italic"><![CDATA[Middle]]></text>)~",
        R"~(<text font-family="DejaVu Sans" text-anchor="end" x="280" y="90" font-size="18" )~"
        R"~(transform="rotate(-30, 280, 90) translate(0, 4.5)">End</text>)~",
        R"~(<g transform="matrix(0.8 0.2 -0.2 0.8 40 100)"><text font-family="Liberation Sans" )~"
        R"~(x="0" y="0" font-size="20" clip-path="url(#c)">Tilted</text></g>)~",
        R"~(<text x="0" y="0" style="font-family:Helvetica; font-weight:bold; font-size:22; )~"
        R"~(fill:black" transform="matrix(1 0 0 1 150 150)">Plan 7</text>)~",
    };
    for (const char* const text : texts) {
        const QByteArray svg = QByteArray(R"~(<svg xmlns="http://www.w3.org/2000/svg" )~"
                                          R"~(width="300" height="200"><g transform=)~"
                                          R"~("translate(-5, 3)">)~") +
                               text + "</g></svg>";
        QImage outlines = white(QSize(600, 400));
        {
            QPainter painter(&outlines);
            QSvgRenderer(svg).render(&painter, QRectF(0, 0, 600, 400));
        }
        const std::optional<render::PartedSvg> apart = render::svgWithTextApart(svg, {});
        ASSERT_TRUE(apart) << text;
        ASSERT_EQ(apart->parts.size(), 1u) << text;
        EXPECT_EQ(apart->parts.front().texts.size(), 1u) << text;
        QImage painted = white(QSize(600, 400));
        {
            QPainter painter(&painted);
            QSvgRenderer renderer(apart->svg);
            render::paintSvgParts(renderer, apart->parts, painter, QRectF(0, 0, 600, 400));
        }
        const auto [outlineBounds, outlineCount] = ink(outlines);
        const auto [paintedBounds, paintedCount] = ink(painted);
        ASSERT_GT(outlineCount, 100) << text;
        for (const auto& [a, b] : {std::pair(outlineBounds.left(), paintedBounds.left()),
                                   std::pair(outlineBounds.top(), paintedBounds.top()),
                                   std::pair(outlineBounds.right(), paintedBounds.right()),
                                   std::pair(outlineBounds.bottom(), paintedBounds.bottom())})
            EXPECT_NEAR(a, b, 2) << text;
        EXPECT_NEAR(paintedCount, outlineCount, outlineCount / 8) << text;
    }
}

// tests/fixtures/make_picture_drawings.py: "Plan 42" in black, a red bar over its right end, and
// "Top" in blue over the bar, as EMF in the picture 0.5 in down and as WMF 3.5 in down, both
// 2 in across, 100 units an inch. The bar is solid and of the colour the file gives it, though
// the WMF sets a transparent background and no SVG colour name is that colour.
TEST(SvgText, MetafileTextPrintsAsTextUnderAndOverLaterInk) {
    const QString path = test::fixtureDrawing(QStringLiteral("metafile_text.vdx"));
    librevenge::RVNGFileStream stream(path.toLocal8Bit().constData());
    const RecordedDrawing drawing = RecordedDrawing::record(stream);

    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("text.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(drawing.pageSizeInches(0), QPageSize::Inch));
        writer.setPageMargins(QMarginsF());
        QPainter painter(&writer);
        painter.scale(writer.resolution() / 72.0, writer.resolution() / 72.0);
        drawing.paintPage(0, painter);
    }
    const QString text = test::pdfText(pdf);
    for (const char* const word : {"Plan", "42", "Top"})
        EXPECT_EQ(text.count(QLatin1String(word)), 2) << word << "\n" << qPrintable(text);

    constexpr qreal dpi = 100;
    const QSizeF inches = drawing.pageSizeInches(0);
    QImage page = white(QSize(qRound(inches.width() * dpi), qRound(inches.height() * dpi)));
    {
        QPainter painter(&page);
        painter.scale(dpi / 72, dpi / 72);
        drawing.paintPage(0, painter);
    }
    const auto count = [&](int down, QRect units, auto match) {
        int found = 0;
        for (int y = units.top(); y <= units.bottom(); ++y)
            for (int x = units.left(); x <= units.right(); ++x)
                found += match(page.pixelColor(200 + x, down + y));
        return found;
    };
    const auto black = [](QColor c) { return c.lightness() < 60; };
    const auto blue = [](QColor c) { return c.blue() > 180 && c.red() < 80; };
    const auto red = [](QColor c) { return c.red() > 180 && c.blue() < 80; };
    for (const int down : {50, 350}) {
        EXPECT_GT(count(down, QRect(QPoint(20, 60), QPoint(88, 112)), black), 300) << down;
        const QRect bar(QPoint(92, 42), QPoint(218, 128));
        EXPECT_EQ(count(down, bar, black), 0) << down;
        EXPECT_GT(count(down, bar, blue), 300) << down;
        EXPECT_GT(count(down, bar, red), 3000) << down;
        const QColor corner = page.pixelColor(200 + 95, down + 45);
        EXPECT_NEAR(corner.red(), 200, 3) << down;
        EXPECT_NEAR(corner.green(), 30, 3) << down;
        EXPECT_NEAR(corner.blue(), 40, 3) << down;
    }
}

}  // namespace
}  // namespace pbp
