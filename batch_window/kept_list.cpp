#include "batch_window/kept_list.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <optional>

#include "support/platform.h"
#include "support/vb_error.h"

namespace pbp {

namespace {
const QString kFormatName = QStringLiteral("PlenBatchPrint list");
constexpr int kFormatVersion = 1;
// Far more than 100,000 entries with long paths; a larger file is not a list of ours.
constexpr qint64 kMaxFileBytes = qint64(256) << 20;

QJsonObject toJson(const GridRow& row) {
    QJsonObject entry{{QStringLiteral("path"), row.path}};
    if (!row.status.isEmpty()) entry.insert(QStringLiteral("status"), row.status);
    if (!row.statusToolTip.isEmpty()) entry.insert(QStringLiteral("toolTip"), row.statusToolTip);
    if (row.failed) entry.insert(QStringLiteral("failed"), true);
    return entry;
}

// The entries of a list file, or nothing with the reason in `why`.
std::optional<std::vector<GridRow>> parse(const QByteArray& bytes, QString& why) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        why = error.errorString();
        return std::nullopt;
    }
    const QJsonObject top = document.object();
    if (top.value(QStringLiteral("format")).toString() != kFormatName ||
        top.value(QStringLiteral("version")).toInt() != kFormatVersion ||
        !top.value(QStringLiteral("entries")).isArray()) {
        why = QCoreApplication::translate("KeptList", "not a list of this program");
        return std::nullopt;
    }
    std::vector<GridRow> rows;
    for (const QJsonValue& value : top.value(QStringLiteral("entries")).toArray()) {
        const QJsonObject entry = value.toObject();
        const QJsonValue path = entry.value(QStringLiteral("path"));
        if (!path.isString() || path.toString().isEmpty()) {
            why = QCoreApplication::translate("KeptList", "an entry without a path");
            return std::nullopt;
        }
        rows.push_back({path.toString(), entry.value(QStringLiteral("status")).toString(),
                        entry.value(QStringLiteral("toolTip")).toString(),
                        entry.value(QStringLiteral("failed")).toBool()});
    }
    return rows;
}
}  // namespace

QString KeptListFile() {
    return QFileInfo(platform().registryFile).absolutePath() + QStringLiteral("/batch-list.json");
}

KeptList LoadKeptList() {
    const QString name = KeptListFile();
    const QFileInfo info(name);
    if (!info.exists()) return {};
    QString why;
    std::optional<std::vector<GridRow>> rows;
    QFile file(name);
    if (!info.isFile() || info.size() > kMaxFileBytes)
        why = QCoreApplication::translate("KeptList", "not a regular file of at most 256 MB");
    else if (!file.open(QIODevice::ReadOnly))
        why = file.errorString();
    else
        rows = parse(file.readAll(), why);
    if (rows) return {std::move(*rows), {}};
    file.close();
    const QString aside = name + QStringLiteral(".damaged");
    QFile::remove(aside);
    if (!QFile::rename(name, aside))
        return {{},
                QCoreApplication::translate(
                    "KeptList",
                    "The kept list %1 could not be read (%2) nor set aside; the list "
                    "starts empty.")
                    .arg(name, why)};
    return {{},
            QCoreApplication::translate(
                "KeptList",
                "The kept list %1 could not be read (%2). It was kept as %3, and the "
                "list starts empty.")
                .arg(name, why, aside)};
}

void SaveKeptList(const std::vector<GridRow>& entries) {
    const QString name = KeptListFile();
    const auto failed = [&](const QString& cause) {
        return VbError(75, QStringLiteral("Cannot keep the list in %1: %2").arg(name, cause));
    };
    if (!QDir().mkpath(QFileInfo(name).absolutePath()))
        throw failed(QStringLiteral("its folder cannot be made"));
    QJsonArray array;
    for (const GridRow& row : entries) array.append(toJson(row));
    const QJsonObject top{{QStringLiteral("format"), kFormatName},
                          {QStringLiteral("version"), kFormatVersion},
                          {QStringLiteral("entries"), array}};
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) throw failed(file.errorString());
    const QByteArray bytes = QJsonDocument(top).toJson(QJsonDocument::Compact);
    if (file.write(bytes) != bytes.size() || !file.commit()) throw failed(file.errorString());
}

}  // namespace pbp
