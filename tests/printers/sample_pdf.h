#pragma once

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

namespace pbp::test {

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A small one-page PDF holding `text`.
inline QByteArray samplePdf(const QString& text) {
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        QPainter(&writer).drawText(QPointF(100, 100), text);
    }
    return pdf;
}

}  // namespace pbp::test
