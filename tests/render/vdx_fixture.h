#pragma once

// Small Visio XML drawings written by the tests themselves.

#include <QByteArray>
#include <QList>
#include <QString>

namespace pbp::test {

struct VdxShape {
    double pinX = 1, pinY = 1, width = 1, height = 1;  // inches, y upwards as Visio keeps it
    QString fill = "#ff0000";
    int fillPattern = 1;  // 0 none, 1 solid, 2.. patterns (hatches)
    QString fillBackground = "#ffffff";
    int layer = 0;
    bool closed = true;
    QString lineXml;  // extra cells inside <Line>
    QString text;
    QString font;  // a font name for the text, empty for the document default
};

// A filled 1 x 1 inch square centred on (pinX, pinY) on layer 0.
VdxShape square(double pinX, double pinY, const QString& fill);

// One page of `widthIn` x `heightIn` inches with layer 0 printed and layer 1 not printed.
QByteArray vdxDrawing(double widthIn, double heightIn, const QList<VdxShape>& shapes);

}  // namespace pbp::test
