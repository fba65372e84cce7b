#include "support/old_registry.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace pbp {

namespace {

const char* const kProgramKeyLevels[] = {"Software", "Corvane", "PlenTools_2003",
                                         "PlenBatchPrint 2003"};

// The subkey of `keys` named `name`, letter case ignored as the old file matched it.
QJsonObject subkey(const QJsonObject& keys, const QString& name) {
    for (auto it = keys.begin(); it != keys.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0) return it.value().toObject();
    return {};
}

std::optional<QVariant> valueData(const QJsonObject& value) {
    const QJsonValue text = value.value(QStringLiteral("text"));
    const QJsonValue dword = value.value(QStringLiteral("dword"));
    const QJsonValue hex = value.value(QStringLiteral("hex"));
    if (text.isString()) return text.toString();
    if (dword.isDouble() && std::isfinite(dword.toDouble()))
        return QString::number(qint64(dword.toDouble()));
    if (hex.isString()) return QByteArray::fromHex(hex.toString().toLatin1());
    return std::nullopt;
}

void collect(const QJsonObject& key, const QString& group, std::vector<OldRegistryValue>& into,
             int depth) {
    for (const QJsonValue& each : key.value(QStringLiteral("values")).toArray()) {
        const QJsonObject value = each.toObject();
        const QString name = value.value(QStringLiteral("name")).toString();
        if (name.isEmpty()) continue;
        if (const auto data = valueData(value)) into.push_back({group, name, *data});
    }
    if (depth == 0) return;
    const QJsonObject keys = key.value(QStringLiteral("keys")).toObject();
    for (auto it = keys.begin(); it != keys.end(); ++it)
        collect(it.value().toObject(),
                group.isEmpty() ? it.key() : group + QLatin1Char('/') + it.key(), into, depth - 1);
}

}  // namespace

std::optional<std::vector<OldRegistryValue>> oldRegistryValues(const QByteArray& content) {
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(content, &error);
    const QJsonObject top = json.object();
    if (error.error != QJsonParseError::NoError ||
        top.value(QStringLiteral("format")).toString() != QLatin1String("PlenBatchPrint settings"))
        return std::nullopt;
    QJsonObject key = subkey(top, QStringLiteral("HKEY_CURRENT_USER"));
    for (const char* level : kProgramKeyLevels)
        key = subkey(key.value(QStringLiteral("keys")).toObject(), QString::fromLatin1(level));
    std::vector<OldRegistryValue> values;
    // The program kept its values two levels deep at most ("PrinterOptions\<printer>").
    collect(key, QString(), values, 2);
    return values;
}

}  // namespace pbp
