#include "printing/engine/render/font_substitution.h"

#include <QFontDatabase>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>

namespace pbp::render {

namespace {

constexpr auto kFallbackFamily = "Liberation Sans";

QString metricCompatible(const QString& family) {
    static const QHash<QString, QString> substitutes = {
        {QStringLiteral("calibri"), QStringLiteral("Carlito")},
        {QStringLiteral("cambria"), QStringLiteral("Caladea")},
        {QStringLiteral("arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("helvetica"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("times new roman"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("times"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("courier new"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("courier"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("arial narrow"), QStringLiteral("Liberation Sans Narrow")},
    };
    // Windows names a font's character-set variants "Arial Cyr", "Times New Roman CE", ...
    static const QRegularExpression charset(QStringLiteral(" (cyr|ce|greek|tur|baltic)$"));
    return substitutes.value(family.trimmed().toLower().remove(charset));
}

}  // namespace

QString printFontFamily(const QString& family) {
    static QMutex mutex;
    static QHash<QString, QString> resolved;
    QMutexLocker lock(&mutex);
    if (const auto it = resolved.constFind(family); it != resolved.constEnd()) return *it;
    QString result = metricCompatible(family);
    if (result.isEmpty() || !QFontDatabase::hasFamily(result))
        result = QFontDatabase::hasFamily(family.trimmed()) ? family.trimmed() : QString();
    if (result.isEmpty()) result = QString::fromLatin1(kFallbackFamily);
    resolved.insert(family, result);
    return result;
}

}  // namespace pbp::render
