#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

namespace pbp {

// Value types of the store, numbered as the Windows registry numbers them.
inline constexpr quint32 REG_NONE = 0;
inline constexpr quint32 REG_SZ = 1;
inline constexpr quint32 REG_EXPAND_SZ = 2;
inline constexpr quint32 REG_BINARY = 3;
inline constexpr quint32 REG_DWORD = 4;
inline constexpr quint32 REG_MULTI_SZ = 7;

// One named value with its type and raw data bytes (texts are UTF-8 with their terminating
// NUL, a REG_DWORD is 4 bytes little-endian), as the registry functions see it.
struct RegistryValue {
    QString name;
    quint32 type = REG_SZ;
    QByteArray data;
};

// The settings file cannot be read, is damaged, or cannot be written. The description names
// the file and the cause.
class RegistryStoreError : public std::runtime_error {
  public:
    explicit RegistryStoreError(const QString& description)
        : std::runtime_error(description.toStdString()), description_(description) {}
    const QString& description() const { return description_; }

  private:
    QString description_;
};

// The settings file is damaged: it is not a settings file this program can read.
class RegistryStoreDamaged : public RegistryStoreError {
  public:
    RegistryStoreDamaged(const QString& description, QString cause)
        : RegistryStoreError(description), cause_(std::move(cause)) {}
    // What is wrong with the file ("not a PlenBatchPrint settings file", ...).
    const QString& cause() const { return cause_; }

  private:
    QString cause_;
};

struct StoredKey;

// A registry of keys and typed values kept in one JSON file. Key paths are texts with "\"
// between levels, the first level naming the root ("HKEY_CURRENT_USER\Software\..."); keys and
// value names are matched without regard to letter case and keep the case they were created
// with; values enumerate in creation order.
//
// Reading takes no lock: the file is only ever replaced whole. Every change locks the file,
// reads it again, applies the change and replaces the file atomically (temporary file in the
// same folder, fsync, rename), so concurrent writers lose nothing and a writer killed midway
// leaves the previous content. A missing file is an empty store; a damaged or unreadable one,
// one that is not a regular file (a pipe, a device) or one larger than 4 MB raises
// RegistryStoreError (RegistryStoreDamaged when damaged) and is never overwritten.
class RegistryStore {
  public:
    explicit RegistryStore(QString fileName);

    bool keyExists(const QString& keyPath) const;
    // The key's values in creation order; nullopt when the key does not exist.
    std::optional<std::vector<RegistryValue>> values(const QString& keyPath) const;

    // Creates the key and every missing level above it; an existing key is left as it is.
    // False when the path has an empty level.
    bool createKey(const QString& keyPath);
    // Sets (or adds, at the end of the order) a value of an existing key; false when the key
    // does not exist.
    bool setValue(const QString& keyPath, const RegistryValue& value);

    // When the file is damaged, renames it to "<file>.damaged" (replacing an older one), so
    // that the store starts empty and nothing of it is lost, and answers a message saying so.
    // Nothing for a missing, sound or unreadable file.
    std::optional<QString> setAsideIfDamaged();

  private:
    StoredKey load() const;
    void save(const StoredKey& document) const;
    // Runs `change` on the current content under the file lock; writes when it returns true.
    void modify(const std::function<bool(StoredKey&)>& change);

    QString fileName_;
};

// The value named `name` (letter case ignored) in `values`, or null.
const RegistryValue* findValue(const std::vector<RegistryValue>& values, const QString& name);

}  // namespace pbp
