#pragma once

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

namespace pbp::test {

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes a small one-page PDF holding `text` and returns its bytes.
inline QByteArray writeSamplePdf(const QString& path, const QString& text) {
    {
        QPdfWriter writer(path);
        QPainter(&writer).drawText(QPointF(100, 100), text);
    }
    return fileBytes(path);
}

}  // namespace pbp::test
