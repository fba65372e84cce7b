#pragma once

#include <QByteArray>
#include <QtEndian>

// Reading and writing the little-endian numbers of Windows metafiles, bitmaps and OLE streams.
// Readers take a position the caller has checked to lie inside the data.
namespace pbp::render::little_endian {

inline quint32 le32(const QByteArray& data, qsizetype at) {
    return qFromLittleEndian<quint32>(data.constData() + at);
}

inline qint32 le32s(const QByteArray& data, qsizetype at) {
    return qFromLittleEndian<qint32>(data.constData() + at);
}

inline quint16 le16(const QByteArray& data, qsizetype at) {
    return qFromLittleEndian<quint16>(data.constData() + at);
}

inline qint16 le16s(const QByteArray& data, qsizetype at) {
    return qFromLittleEndian<qint16>(data.constData() + at);
}

inline float leFloat(const QByteArray& data, qsizetype at) {
    return qFromLittleEndian<float>(data.constData() + at);
}

inline void put32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian<quint32>(value, bytes);
    out.append(bytes, 4);
}

inline void put16(QByteArray& out, quint16 value) {
    char bytes[2];
    qToLittleEndian<quint16>(value, bytes);
    out.append(bytes, 2);
}

}  // namespace pbp::render::little_endian
