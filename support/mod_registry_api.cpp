#include "support/mod_registry_api.h"

#include <QtEndian>
#include <algorithm>
#include <optional>

#include "support/error_handling.h"
#include "support/platform.h"
#include "support/registry_store.h"

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

// The store's path of a key, or nullopt for a root the store does not keep.
std::optional<QString> storePath(quint32 root, const QString& key) {
    if (root != HKEY_CURRENT_USER) return std::nullopt;
    QString path = QStringLiteral("HKEY_CURRENT_USER");
    if (!key.isEmpty()) path += QLatin1Char('\\') + key;
    return path;
}

// Runs a store action; a damaged or unwritable settings file becomes error `number` with the
// store's description, so the caller sees why.
template <class Action>
auto storeCall(qint32 number, Action&& action) {
    try {
        return action();
    } catch (const RegistryStoreError& error) {
        throw VbError(number, error.description());
    }
}

RegistryStore store() {
    return RegistryStore(platform().registryFile);
}

// The key's values; nullopt when the key cannot be opened.
std::optional<std::vector<RegistryValue>> keyValues(quint32 root, const QString& key,
                                                    qint32 errorNumber) {
    const auto path = storePath(root, key);
    if (!path) return std::nullopt;
    return storeCall(errorNumber, [&] { return store().values(*path); });
}

QString textUpToFirstNul(const QByteArray& data) {
    const qsizetype end = data.indexOf('\0');
    return QString::fromUtf8(end < 0 ? data : data.left(end));
}

// The data without its terminating NULs (one for a text, two for a list of texts).
QString textWithoutTerminator(QByteArray data, qsizetype terminatorLength) {
    while (terminatorLength-- > 0 && data.endsWith('\0')) data.chop(1);
    return QString::fromUtf8(data);
}

}  // namespace

bool RegistryKeyExists(quint32 root, const QString& key) {
    bool exists = false;
    Guarded(kModule, QStringLiteral("RegistryKeyExists"),
            [&] { exists = keyValues(root, key, kKeyError).has_value(); });
    return exists;
}

bool RegistryValueExists(quint32 root, const QString& key, const QString& valueName) {
    bool exists = false;
    Guarded(kModule, QStringLiteral("RegistryValueExists"), [&] {
        const auto values = keyValues(root, key, kKeyError);
        exists = values && findValue(*values, valueName) != nullptr;
    });
    return exists;
}

QVariant GetRegistryValue(quint32 root, const QString& key, const QString& valueName) {
    const auto values = keyValues(root, key, kKeyError);
    if (!values) return {};
    const RegistryValue* value = findValue(*values, valueName);
    const quint32 type = value ? value->type : REG_NONE;
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            return textWithoutTerminator(value->data, 1);
        case REG_MULTI_SZ:
            return textWithoutTerminator(value->data, 2);
        case REG_BINARY:
            return value->data;
        case REG_DWORD: {
            QByteArray bytes = value->data.left(4);
            bytes.append(4 - bytes.size(), '\0');
            return qFromLittleEndian<qint32>(bytes.constData());
        }
        default:
            throw VbError(kValueError, QStringLiteral("Usupported value type"));
    }
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

void AddRegistryKey(quint32 root, const QString& key) {
    const auto path = storePath(root, key);
    const bool created = path && storeCall(kCreateError, [&] { return store().createKey(*path); });
    if (!created) throw VbError(kCreateError, QStringLiteral("Unable to create the registry key"));
}

RegistryKeyHandle OpenRegistryKey(quint32 root, const QString& key) {
    if (!keyValues(root, key, kKeyError)) throw keyMissing();
    return RegistryKeyHandle{root, key, true};
}

void CloseRegistryKey(RegistryKeyHandle& handle) {
    handle.open = false;
}

QStringList ListRegistryValues(quint32 root, const QString& key) {
    const auto values = keyValues(root, key, kKeyError);
    if (!values) throw keyMissing();
    QStringList entries;
    for (const RegistryValue& value : *values) {
        if (value.name.toUtf8().size() > kEnumNameLimit || value.data.size() > kEnumDataLimit)
            break;
        entries.append(textUpToFirstNul(value.name.toUtf8()) + QStringLiteral("\\\\") +
                       textUpToFirstNul(value.data));
    }
    return entries;
}

QString QueryRegistryString(const RegistryKeyHandle& handle, const QString& valueName) {
    if (!handle.open) throw itemMissing();
    const auto values = keyValues(handle.root, handle.keyPath, kValueError);
    const RegistryValue* value = values ? findValue(*values, valueName) : nullptr;
    if (!value || value->data.size() > kQueryDataLimit) throw itemMissing();
    return textUpToFirstNul(value->data);
}

void SetRegistryString(const RegistryKeyHandle& handle, const QString& valueName,
                       const QString& text) {
    if (!handle.open) throw itemMissing();
    const auto path = storePath(handle.root, handle.keyPath);
    const RegistryValue value{valueName, REG_SZ,
                              (text.isEmpty() ? QStringLiteral(" ") : text).toUtf8() + '\0'};
    const bool written =
        path && storeCall(kValueError, [&] { return store().setValue(*path, value); });
    if (!written) throw itemMissing();
}

}  // namespace pbp
