// Pictures on a page: EMF and WMF metafiles and bitmaps in every format libvisio hands over land
// in their box; damaged ones leave the box empty and say so in the drawing's log.

#include <gtest/gtest.h>
#include <librevenge-stream/librevenge-stream.h>

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QtEndian>

#include "printing/engine/render/picture_decoder.h"
#include "printing/engine/render/recorded_drawing.h"
#include "tests/common/test_paths.h"

namespace pbp {
namespace {

using render::RecordedDrawing;

RecordedDrawing recordBytes(const QByteArray& bytes) {
    librevenge::RVNGStringStream stream(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                        unsigned(bytes.size()));
    return RecordedDrawing::record(stream);
}

RecordedDrawing recordFixture(const QString& name) {
    QFile file(test::sourceDir() + "/tests/fixtures/drawings/" + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return recordBytes(file.readAll());
}

// The page at one pixel per point on white.
QImage renderPage(const RecordedDrawing& drawing) {
    const QSizeF inches = drawing.pageSizeInches(0);
    QImage image(qRound(inches.width() * 72), qRound(inches.height() * 72),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    drawing.paintPage(0, painter);
    return image;
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
        const RecordedDrawing drawing = recordFixture(name);
        EXPECT_TRUE(drawing.log().isEmpty()) << drawing.log().join('\n').toStdString();
        const QImage page = renderPage(drawing);
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
    const RecordedDrawing drawing = recordFixture("bad_pictures.vdx");
    const QStringList log = drawing.log();
    ASSERT_EQ(log.size(), 3) << log.join('\n').toStdString();
    EXPECT_TRUE(log[0].contains("image/emf") && log[0].contains("damaged"));
    EXPECT_TRUE(log[1].contains("image/wmf") && log[1].contains("damaged"));
    EXPECT_TRUE(log[2].contains("image/bmp"));
    const QImage page = renderPage(drawing);
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
    const QImage page = renderPage(drawing);
    for (int i = 0; i < pictures.size(); ++i) {
        const int centre = 72 * (1 + 2 * i);
        EXPECT_TRUE(isGreen(page.pixelColor(centre, 72))) << "format " << i;
        EXPECT_TRUE(isGreen(page.pixelColor(centre - 30, 45))) << "format " << i;
        EXPECT_TRUE(isWhite(page.pixelColor(centre + 45, 72))) << "format " << i;
    }
}

}  // namespace
}  // namespace pbp
