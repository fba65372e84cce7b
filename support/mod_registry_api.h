#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include "support/vb_error.h"

namespace pbp {

// Predefined root key handle values; the store keeps the current user's tree only.
inline constexpr quint32 HKEY_CURRENT_USER = 0x80000001;

// The program's key under HKEY_CURRENT_USER: the saved printer, the drawing limits and, in its
// subkey "Window", the window's layout.
inline const QString kProgramSettingsKey =
    QStringLiteral("Software\\Corvane\\PlenTools_2003\\PlenBatchPrint 2003");

// An open registry key, as OpenRegistryKey hands it out; the caller closes it with
// CloseRegistryKey. A closed (or default-made) handle cannot be used.
struct RegistryKeyHandle {
    quint32 root = 0;
    QString keyPath;  // relative to the root, "\" between levels
    bool open = false;
};

// The program's registry layer over the settings store in platform().registryFile (see
// support/settings_store.h). Only keys at and under kProgramSettingsKey are kept, and all of
// them exist while the settings file can be read; value names match with letter case.
// Failures are raised as VbError: 1000 a key cannot be opened, 1001 a value cannot be read or
// written or has an unhandled type, 1002 a key cannot be created. When the settings file
// itself is damaged or cannot be written, the error keeps its number and says so in its
// description. Key paths use "\" between levels.

// True when the key exists. Reports an unexpected failure and answers false.
bool RegistryKeyExists(quint32 root, const QString& key);
// True when the value exists, with or without data. Reports an unexpected failure and answers
// false.
bool RegistryValueExists(quint32 root, const QString& key, const QString& valueName);
// The value as a QString, or a QByteArray for binary data; an invalid QVariant when the key
// does not exist. A missing value raises 1001 "Usupported value type".
QVariant GetRegistryValue(quint32 root, const QString& key, const QString& valueName);
// Makes sure the key exists and holds the value, writing `defaultText` when no listed entry of
// the key contains the value name.
void EnsureRegistryValue(quint32 root, const QString& key, const QString& valueName,
                         const QString& defaultText);
QString ReadRegistryString(quint32 root, const QString& key, const QString& valueName);
void WriteRegistryString(quint32 root, const QString& key, const QString& valueName,
                         const QString& text);
// Succeeds for a key the store keeps (it exists already); 1002 for any other.
void AddRegistryKey(quint32 root, const QString& key);
RegistryKeyHandle OpenRegistryKey(quint32 root, const QString& key);
void CloseRegistryKey(RegistryKeyHandle& handle);
// One entry per value in order of name: name, "\\" (two backslashes), data up to its first
// NUL. Ends at the first value whose name is longer than 254 or data longer than 255 bytes.
QStringList ListRegistryValues(quint32 root, const QString& key);
// The value's data up to its first NUL, whatever its type; 1001 when it is missing or holds
// more than 1024 bytes (a text with its terminating NUL).
QString QueryRegistryString(const RegistryKeyHandle& handle, const QString& valueName);
// Writes the text as REG_SZ; an empty text is stored as one space.
void SetRegistryString(const RegistryKeyHandle& handle, const QString& valueName,
                       const QString& text);

}  // namespace pbp
