#include "support/mod_registry_api.h"

#include <algorithm>
#include <optional>

#include "support/error_handling.h"
#include "support/settings_store.h"

namespace pbp {

namespace {

constexpr qint32 kKeyError = 1000;
constexpr qint32 kValueError = 1001;
constexpr qint32 kCreateError = 1002;
constexpr qsizetype kEnumNameLimit = 254;    // 255-character name buffer with its NUL
constexpr qsizetype kEnumDataLimit = 255;    // 255-byte data buffer
constexpr qsizetype kQueryDataLimit = 1024;  // 1024-byte query buffer

const QString kModule = QStringLiteral("modRegistryAPI");

VbError keyMissing() {
    return VbError(kKeyError, QStringLiteral("Registry Key does not exist"));
}
VbError itemMissing() {
    return VbError(kValueError, QStringLiteral("Item does not exist for this registry key"));
}

// The store's group of a key: "" for the program's key, "Window" for its subkey "Window";
// nullopt for a key outside the program's, which the store does not keep.
std::optional<QString> storeGroup(quint32 root, const QString& key) {
    if (root != HKEY_CURRENT_USER || !key.startsWith(kProgramSettingsKey, Qt::CaseInsensitive))
        return std::nullopt;
    const QString rest = key.mid(kProgramSettingsKey.size());
    if (rest.isEmpty()) return QString();
    if (!rest.startsWith(QLatin1Char('\\'))) return std::nullopt;
    const QStringList levels = rest.mid(1).split(QLatin1Char('\\'));
    if (levels.contains(QString())) return std::nullopt;
    return levels.join(QLatin1Char('/'));
}

// Runs a store action; a damaged or unwritable settings file becomes error `number` with the
// store's description, so the caller sees why.
template <class Action>
auto storeCall(qint32 number, Action&& action) {
    try {
        return action();
    } catch (const SettingsStoreError& error) {
        throw VbError(number, error.description());
    }
}

// The group of a key that exists: every key under the program's exists while the settings
// file can be read. Nullopt when the key does not exist.
std::optional<QString> existingGroup(quint32 root, const QString& key, qint32 errorNumber) {
    const auto group = storeGroup(root, key);
    if (group) storeCall(errorNumber, [&] { return settingsStore().names(*group); });
    return group;
}

// The value's data as the registry held it: a text's UTF-8 bytes with their terminating NUL,
// or the binary bytes.
std::optional<QByteArray> valueData(const QString& group, const QString& name, qint32 errorNumber) {
    const QVariant value =
        storeCall(errorNumber, [&] { return settingsStore().value(group, name); });
    if (!value.isValid()) return std::nullopt;
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray()
                                                   : value.toString().toUtf8() + '\0';
}

QString textUpToFirstNul(const QByteArray& data) {
    const qsizetype end = data.indexOf('\0');
    return QString::fromUtf8(end < 0 ? data : data.left(end));
}

}  // namespace

bool RegistryKeyExists(quint32 root, const QString& key) {
    bool exists = false;
    Guarded(kModule, QStringLiteral("RegistryKeyExists"),
            [&] { exists = existingGroup(root, key, kKeyError).has_value(); });
    return exists;
}

bool RegistryValueExists(quint32 root, const QString& key, const QString& valueName) {
    bool exists = false;
    Guarded(kModule, QStringLiteral("RegistryValueExists"), [&] {
        const auto group = existingGroup(root, key, kKeyError);
        exists = group && valueData(*group, valueName, kKeyError).has_value();
    });
    return exists;
}

QVariant GetRegistryValue(quint32 root, const QString& key, const QString& valueName) {
    const auto group = existingGroup(root, key, kKeyError);
    if (!group) return {};
    const QVariant value =
        storeCall(kValueError, [&] { return settingsStore().value(*group, valueName); });
    if (value.typeId() == QMetaType::QByteArray) return value;
    if (!value.isValid()) throw VbError(kValueError, QStringLiteral("Usupported value type"));
    return value.toString();
}

void EnsureRegistryValue(quint32 root, const QString& key, const QString& valueName,
                         const QString& defaultText) {
    // A failing step creates the key (a missing key is the usual cause) and the next step
    // follows; a failure to create the key passes to the caller.
    try {
        RegistryKeyHandle handle = OpenRegistryKey(root, key);
        CloseRegistryKey(handle);
    } catch (...) {
        AddRegistryKey(root, key);
    }
    QStringList entries;
    try {
        entries = ListRegistryValues(root, key);
    } catch (...) {
        AddRegistryKey(root, key);
    }
    const bool present = std::any_of(entries.cbegin(), entries.cend(), [&](const QString& entry) {
        return entry.contains(valueName, Qt::CaseSensitive);
    });
    if (present) return;
    try {
        WriteRegistryString(root, key, valueName, defaultText);
    } catch (...) {
        // The key exists now, yet the value was not written: the caller must learn of it.
        AddRegistryKey(root, key);
        throw;
    }
}

QString ReadRegistryString(quint32 root, const QString& key, const QString& valueName) {
    RegistryKeyHandle handle = OpenRegistryKey(root, key);
    const QString text = QueryRegistryString(handle, valueName);
    CloseRegistryKey(handle);
    return text;
}

void WriteRegistryString(quint32 root, const QString& key, const QString& valueName,
                         const QString& text) {
    RegistryKeyHandle handle = OpenRegistryKey(root, key);
    SetRegistryString(handle, valueName, text);
    CloseRegistryKey(handle);
}

// Keys need no making: every key under the program's exists while the settings file can be
// read.
void AddRegistryKey(quint32 root, const QString& key) {
    if (!existingGroup(root, key, kCreateError))
        throw VbError(kCreateError, QStringLiteral("Unable to create the registry key"));
}

RegistryKeyHandle OpenRegistryKey(quint32 root, const QString& key) {
    if (!existingGroup(root, key, kKeyError)) throw keyMissing();
    return RegistryKeyHandle{root, key, true};
}

void CloseRegistryKey(RegistryKeyHandle& handle) {
    handle.open = false;
}

QStringList ListRegistryValues(quint32 root, const QString& key) {
    const auto group = existingGroup(root, key, kKeyError);
    if (!group) throw keyMissing();
    QStringList entries;
    for (const QString& name :
         storeCall(kKeyError, [&] { return settingsStore().names(*group); })) {
        const QByteArray data = valueData(*group, name, kKeyError).value_or(QByteArray());
        if (name.toUtf8().size() > kEnumNameLimit || data.size() > kEnumDataLimit) break;
        entries.append(textUpToFirstNul(name.toUtf8()) + QStringLiteral("\\\\") +
                       textUpToFirstNul(data));
    }
    return entries;
}

QString QueryRegistryString(const RegistryKeyHandle& handle, const QString& valueName) {
    if (!handle.open) throw itemMissing();
    const auto group = existingGroup(handle.root, handle.keyPath, kValueError);
    const auto data = group ? valueData(*group, valueName, kValueError) : std::nullopt;
    if (!data || data->size() > kQueryDataLimit) throw itemMissing();
    return textUpToFirstNul(*data);
}

void SetRegistryString(const RegistryKeyHandle& handle, const QString& valueName,
                       const QString& text) {
    if (!handle.open) throw itemMissing();
    const auto group = storeGroup(handle.root, handle.keyPath);
    if (!group) throw itemMissing();
    storeCall(kValueError, [&] {
        settingsStore().setValue(*group, valueName, text.isEmpty() ? QStringLiteral(" ") : text);
    });
}

}  // namespace pbp
