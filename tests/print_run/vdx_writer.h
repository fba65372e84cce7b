#pragma once

// Small .vdx drawings written at run time, with the page sizes, orientations and background
// flags a test needs.

#include <QFile>
#include <QString>
#include <vector>

namespace pbp::test {

struct VdxPage {
    double width = 8.5;
    double height = 11;
    int orientation = 1;
    bool background = false;
};

inline bool writeVdx(const QString& path, const std::vector<VdxPage>& pages) {
    QString xml = QStringLiteral(
        "<?xml version='1.0' encoding='utf-8'?>\n"
        "<VisioDocument xmlns='http://schemas.microsoft.com/visio/2003/core'><Pages>");
    int id = 0;
    for (const VdxPage& page : pages) {
        xml += QStringLiteral(
                   "<Page ID='%1' Name='P%1' NameU='P%1'%2><PageSheet><PageProps>"
                   "<PageWidth>%3</PageWidth><PageHeight>%4</PageHeight></PageProps>"
                   "<PrintProps><PrintPageOrientation>%5</PrintPageOrientation></PrintProps>"
                   "</PageSheet><Shapes><Shape ID='1' Type='Shape'><XForm><PinX>1</PinX>"
                   "<PinY>1</PinY><Width>1</Width><Height>1</Height></XForm>"
                   "<Geom IX='0'><MoveTo IX='1'><X>0</X><Y>0</Y></MoveTo>"
                   "<LineTo IX='2'><X>1</X><Y>1</Y></LineTo></Geom></Shape></Shapes></Page>")
                   .arg(id)
                   .arg(page.background ? QStringLiteral(" Background='1'") : QString())
                   .arg(page.width)
                   .arg(page.height)
                   .arg(page.orientation);
        ++id;
    }
    xml += QStringLiteral("</Pages></VisioDocument>\n");
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(xml.toUtf8()) > 0;
}

}  // namespace pbp::test
