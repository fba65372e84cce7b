#include "tests/render/vdx_fixture.h"

namespace pbp::test {

namespace {

QString shapeXml(int id, const VdxShape& s) {
    QString geometry = QStringLiteral(
                           "<MoveTo IX=\"1\"><X>0</X><Y>0</Y></MoveTo>"
                           "<LineTo IX=\"2\"><X>%1</X><Y>0</Y></LineTo>"
                           "<LineTo IX=\"3\"><X>%1</X><Y>%2</Y></LineTo>"
                           "<LineTo IX=\"4\"><X>0</X><Y>%2</Y></LineTo>")
                           .arg(s.width)
                           .arg(s.height);
    if (s.closed) geometry += QStringLiteral("<LineTo IX=\"5\"><X>0</X><Y>0</Y></LineTo>");
    QString xml = QStringLiteral(
                      "<Shape ID=\"%1\" Type=\"Shape\">"
                      "<XForm><PinX>%2</PinX><PinY>%3</PinY><Width>%4</Width><Height>%5</Height>"
                      "<LocPinX>%6</LocPinX><LocPinY>%7</LocPinY><Angle>0</Angle></XForm>"
                      "<Line><LineWeight>0.01</LineWeight><LineColor>#000000</LineColor>"
                      "<LinePattern>1</LinePattern>%8</Line>"
                      "<Fill><FillForegnd>%9</FillForegnd><FillBkgnd>%10</FillBkgnd>"
                      "<FillPattern>%11</FillPattern></Fill>"
                      "<LayerMem><LayerMember>%12</LayerMember></LayerMem>"
                      "<Geom IX=\"0\"><NoFill>0</NoFill><NoLine>0</NoLine>%13</Geom>")
                      .arg(id)
                      .arg(s.pinX)
                      .arg(s.pinY)
                      .arg(s.width)
                      .arg(s.height)
                      .arg(s.width / 2)
                      .arg(s.height / 2)
                      .arg(s.lineXml, s.fill, s.fillBackground)
                      .arg(s.fillPattern)
                      .arg(s.layer)
                      .arg(geometry);
    if (!s.text.isEmpty()) {
        xml += QStringLiteral("<Char IX=\"0\">%1<Size>0.1</Size></Char><Text>%2</Text>")
                   .arg(s.font.isEmpty() ? QString() : QStringLiteral("<Font>1</Font>"),
                        s.text.toHtmlEscaped());
    }
    return xml + QStringLiteral("</Shape>");
}

}  // namespace

VdxShape square(double pinX, double pinY, const QString& fill) {
    VdxShape s;
    s.pinX = pinX;
    s.pinY = pinY;
    s.fill = fill;
    return s;
}

QByteArray vdxDrawing(double widthIn, double heightIn, const QList<VdxShape>& shapes) {
    QString fonts;
    for (const VdxShape& s : shapes)
        if (!s.font.isEmpty() && fonts.isEmpty())
            fonts = QStringLiteral("<FaceNames><FaceName ID=\"1\" Name=\"%1\"/></FaceNames>")
                        .arg(s.font.toHtmlEscaped());
    QString xml = QStringLiteral(
                      "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                      "<VisioDocument xmlns=\"http://schemas.microsoft.com/visio/2003/core\">%1"
                      "<Pages><Page ID=\"0\" NameU=\"Page-1\"><PageSheet><PageProps>"
                      "<PageWidth>%2</PageWidth><PageHeight>%3</PageHeight></PageProps>"
                      "<Layer IX=\"0\"><Name>Shown</Name><Visible>1</Visible><Print>1</Print>"
                      "</Layer><Layer IX=\"1\"><Name>Screen only</Name><Visible>1</Visible>"
                      "<Print>0</Print></Layer></PageSheet><Shapes>")
                      .arg(fonts)
                      .arg(widthIn)
                      .arg(heightIn);
    int id = 1;
    for (const VdxShape& s : shapes) xml += shapeXml(id++, s);
    xml += QStringLiteral("</Shapes></Page></Pages></VisioDocument>");
    return xml.toUtf8();
}

}  // namespace pbp::test
