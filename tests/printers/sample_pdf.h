#pragma once

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

namespace pbp::test {

// Writes a small one-page PDF holding `text` and returns its bytes.
inline QByteArray writeSamplePdf(const QString& path, const QString& text) {
    {
        QPdfWriter writer(path);
        QPainter painter(&writer);
        painter.drawText(QPointF(100, 100), text);
    }
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace pbp::test
