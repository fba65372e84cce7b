#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

namespace pbp {

// One value of the settings file earlier versions kept (registry.json), placed in the
// settings store: its group ("/" between levels, "" for the program's own values) and name.
struct OldRegistryValue {
    QString group;
    QString name;
    QVariant value;  // a QString, or a QByteArray for binary data
};

// The values an earlier version kept under the program's key in registry.json: texts as texts,
// numbers as their decimal text, anything else as bytes. Nullopt when the content is not such
// a file.
std::optional<std::vector<OldRegistryValue>> oldRegistryValues(const QByteArray& content);

}  // namespace pbp
