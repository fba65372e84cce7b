#include "support/registry_store.h"

#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QThread>
#include <QtEndian>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "support/file_operations.h"

namespace pbp {

struct StoredKey {
    QString name;
    std::vector<RegistryValue> values;
    std::vector<StoredKey> subkeys;
};

namespace {

constexpr auto kFormatName = "PlenBatchPrint settings";
constexpr int kFormatVersion = 1;
constexpr int kLockTimeoutMs = 10000;
// Far more than any settings file holds; a larger one is not ours to read into memory.
constexpr qint64 kMaxFileBytes = qint64(4) << 20;

const std::pair<quint32, const char*> kTypeNames[] = {
    {REG_SZ, "REG_SZ"},       {REG_EXPAND_SZ, "REG_EXPAND_SZ"}, {REG_BINARY, "REG_BINARY"},
    {REG_DWORD, "REG_DWORD"}, {REG_MULTI_SZ, "REG_MULTI_SZ"},   {REG_NONE, "REG_NONE"},
};

QString errnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The levels of a key path; nullopt when a level is empty.
std::optional<QStringList> splitPath(const QString& keyPath) {
    const QStringList levels = keyPath.split(QLatin1Char('\\'));
    for (const QString& level : levels)
        if (level.isEmpty()) return std::nullopt;
    return levels;
}

StoredKey* findSubkey(StoredKey& key, const QString& name) {
    for (StoredKey& sub : key.subkeys)
        if (sub.name.compare(name, Qt::CaseInsensitive) == 0) return &sub;
    return nullptr;
}

StoredKey* findKey(StoredKey& document, const QString& keyPath) {
    const auto levels = splitPath(keyPath);
    if (!levels) return nullptr;
    StoredKey* key = &document;
    for (const QString& level : *levels) {
        key = findSubkey(*key, level);
        if (!key) return nullptr;
    }
    return key;
}

// ---- JSON form of a value: texts stay readable, anything else is hex ----

QJsonObject valueToJson(const RegistryValue& value) {
    QJsonObject json;
    json[QStringLiteral("name")] = value.name;
    QString typeName;
    for (const auto& [type, name] : kTypeNames)
        if (type == value.type) typeName = QString::fromLatin1(name);
    json[QStringLiteral("type")] =
        typeName.isEmpty() ? QJsonValue(double(value.type)) : QJsonValue(typeName);

    const bool textType =
        value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ;
    if (textType && value.data.endsWith('\0') && value.data.chopped(1).isValidUtf8()) {
        json[QStringLiteral("text")] = QString::fromUtf8(value.data.chopped(1));
    } else if (value.type == REG_DWORD && value.data.size() == 4) {
        json[QStringLiteral("dword")] = qFromLittleEndian<qint32>(value.data.constData());
    } else {
        json[QStringLiteral("hex")] = QString::fromLatin1(value.data.toHex());
    }
    return json;
}

class FormatError {
  public:
    explicit FormatError(QString what) : what_(std::move(what)) {}
    const QString& what() const { return what_; }

  private:
    QString what_;
};

quint32 typeFromJson(const QJsonValue& json, const QString& where) {
    if (json.isString()) {
        for (const auto& [type, name] : kTypeNames)
            if (json.toString() == QLatin1String(name)) return type;
    } else if (json.isDouble()) {
        const double number = json.toDouble();
        if (number >= 0 && number <= 4294967295.0 && number == double(quint32(number)))
            return quint32(number);
    }
    throw FormatError(where + QStringLiteral(": unknown value type"));
}

RegistryValue valueFromJson(const QJsonValue& json, const QString& keyPath) {
    if (!json.isObject()) throw FormatError(keyPath + QStringLiteral(": a value is not an object"));
    const QJsonObject object = json.toObject();
    if (!object.value(QStringLiteral("name")).isString())
        throw FormatError(keyPath + QStringLiteral(": a value has no name"));
    RegistryValue value;
    value.name = object.value(QStringLiteral("name")).toString();
    const QString where = keyPath + QStringLiteral(", value \"") + value.name + QLatin1Char('"');
    value.type = typeFromJson(object.value(QStringLiteral("type")), where);

    const QJsonValue text = object.value(QStringLiteral("text"));
    const QJsonValue dword = object.value(QStringLiteral("dword"));
    const QJsonValue hex = object.value(QStringLiteral("hex"));
    if (text.isString()) {
        value.data = text.toString().toUtf8() + '\0';
    } else if (dword.isDouble()) {
        const double number = dword.toDouble();
        if (number < -2147483648.0 || number > 4294967295.0 || number != double(qint64(number)))
            throw FormatError(where + QStringLiteral(": dword out of range"));
        value.data.resize(4);
        qToLittleEndian<quint32>(quint32(qint64(number)), value.data.data());
    } else if (hex.isString()) {
        const QByteArray digits = hex.toString().toLatin1();
        if (digits.size() % 2 != 0 || !std::all_of(digits.begin(), digits.end(),
                                                   [](char c) { return std::isxdigit(uchar(c)); }))
            throw FormatError(where + QStringLiteral(": bad hex data"));
        value.data = QByteArray::fromHex(digits);
    } else {
        throw FormatError(where + QStringLiteral(": no data (text, dword or hex)"));
    }
    return value;
}

QJsonObject keyToJson(const StoredKey& key) {
    QJsonObject json;
    if (!key.subkeys.empty()) {
        QJsonObject subkeys;
        for (const StoredKey& sub : key.subkeys) subkeys[sub.name] = keyToJson(sub);
        json[QStringLiteral("keys")] = subkeys;
    }
    if (!key.values.empty()) {
        QJsonArray values;
        for (const RegistryValue& value : key.values) values.append(valueToJson(value));
        json[QStringLiteral("values")] = values;
    }
    return json;
}

StoredKey keyFromJson(const QString& name, const QJsonValue& json, const QString& keyPath) {
    if (!json.isObject()) throw FormatError(keyPath + QStringLiteral(": the key is not an object"));
    const QJsonObject object = json.toObject();
    StoredKey key{name, {}, {}};
    const QJsonValue subkeys = object.value(QStringLiteral("keys"));
    if (!subkeys.isUndefined()) {
        if (!subkeys.isObject()) throw FormatError(keyPath + QStringLiteral(": bad \"keys\""));
        const QJsonObject children = subkeys.toObject();
        for (auto it = children.begin(); it != children.end(); ++it) {
            if (!splitPath(it.key()) || it.key().contains(QLatin1Char('\\')))
                throw FormatError(keyPath + QStringLiteral(": bad key name \"") + it.key() +
                                  QLatin1Char('"'));
            key.subkeys.push_back(
                keyFromJson(it.key(), it.value(), keyPath + QLatin1Char('\\') + it.key()));
        }
    }
    const QJsonValue values = object.value(QStringLiteral("values"));
    if (!values.isUndefined()) {
        if (!values.isArray()) throw FormatError(keyPath + QStringLiteral(": bad \"values\""));
        for (const QJsonValue& value : values.toArray())
            key.values.push_back(valueFromJson(value, keyPath));
    }
    return key;
}

// Holds an exclusive flock on "<file>.lock" for its lifetime. The kernel drops the lock when
// the process dies, so a killed writer never blocks the next one.
class FileLock {
  public:
    explicit FileLock(const QString& fileName) {
        const QByteArray path = QFile::encodeName(fileName);
        fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0)
            throw RegistryStoreError(QStringLiteral("Cannot lock the settings file (%1): %2")
                                         .arg(fileName, errnoText()));
        const QDeadlineTimer deadline(kLockTimeoutMs);
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || deadline.hasExpired()) {
                const QString cause = errno == EWOULDBLOCK
                                          ? QStringLiteral("another program keeps it locked")
                                          : errnoText();
                ::close(fd_);
                throw RegistryStoreError(
                    QStringLiteral("Cannot lock the settings file (%1): %2").arg(fileName, cause));
            }
            QThread::msleep(5);
        }
    }
    ~FileLock() { ::close(fd_); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

  private:
    int fd_ = -1;
};

void syncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

RegistryStore::RegistryStore(QString fileName) : fileName_(std::move(fileName)) {}

const RegistryValue* findValue(const std::vector<RegistryValue>& values, const QString& name) {
    for (const RegistryValue& value : values)
        if (value.name.compare(name, Qt::CaseInsensitive) == 0) return &value;
    return nullptr;
}

bool RegistryStore::keyExists(const QString& keyPath) const {
    StoredKey document = load();
    return findKey(document, keyPath) != nullptr;
}

std::optional<std::vector<RegistryValue>> RegistryStore::values(const QString& keyPath) const {
    StoredKey document = load();
    const StoredKey* key = findKey(document, keyPath);
    if (!key) return std::nullopt;
    return key->values;
}

bool RegistryStore::createKey(const QString& keyPath) {
    const auto levels = splitPath(keyPath);
    if (!levels) return false;
    if (keyExists(keyPath)) return true;  // nothing to write, no lock needed
    modify([&](StoredKey& document) {
        bool changed = false;
        StoredKey* key = &document;
        for (const QString& level : *levels) {
            StoredKey* sub = findSubkey(*key, level);
            if (!sub) {
                key->subkeys.push_back(StoredKey{level, {}, {}});
                sub = &key->subkeys.back();
                changed = true;
            }
            key = sub;
        }
        return changed;
    });
    return true;
}

bool RegistryStore::setValue(const QString& keyPath, const RegistryValue& value) {
    bool keyFound = false;
    modify([&](StoredKey& document) {
        StoredKey* key = findKey(document, keyPath);
        keyFound = key != nullptr;
        if (!key) return false;
        for (RegistryValue& existing : key->values) {
            if (existing.name.compare(value.name, Qt::CaseInsensitive) != 0) continue;
            if (existing.type == value.type && existing.data == value.data) return false;
            existing.type = value.type;
            existing.data = value.data;
            return true;
        }
        key->values.push_back(value);
        return true;
    });
    return keyFound;
}

StoredKey RegistryStore::load() const {
    if (fileName_.isEmpty()) throw RegistryStoreError(QStringLiteral("No settings file is set"));
    const auto unreadable = [&](const QString& cause) {
        return RegistryStoreError(
            QStringLiteral("Cannot read the settings file %1: %2").arg(fileName_, cause));
    };
    // Opened without waiting and checked through the open handle, so that a pipe or a device
    // put in the file's place is refused instead of blocking or being read without end.
    const int fd = ::open(QFile::encodeName(fileName_).constData(),
                          O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT) return StoredKey{};
        throw unreadable(errnoText());
    }
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    struct stat status {};
    if (::fstat(fd, &status) != 0) throw unreadable(errnoText());
    if (!S_ISREG(status.st_mode))
        throw unreadable(QStringLiteral("it is not a regular file; it was left unchanged"));
    const auto tooLarge = [&] {
        return unreadable(QStringLiteral("it is larger than %1 MB; it was left unchanged")
                              .arg(kMaxFileBytes >> 20));
    };
    if (status.st_size > kMaxFileBytes) throw tooLarge();
    // Read in pieces up to one byte past the bound, in case the file grew meanwhile.
    QByteArray content;
    while (content.size() <= kMaxFileBytes) {
        const QByteArray piece =
            file.read(std::min<qint64>(1 << 16, kMaxFileBytes + 1 - content.size()));
        if (piece.isEmpty()) break;
        content += piece;
    }
    if (file.error() != QFileDevice::NoError) throw unreadable(file.errorString());
    if (content.size() > kMaxFileBytes) throw tooLarge();

    const auto damaged = [&](const QString& cause) {
        return RegistryStoreDamaged(
            QStringLiteral("The settings file %1 is damaged (%2); it was left unchanged")
                .arg(fileName_, cause),
            cause);
    };
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(content, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        throw damaged(
            QStringLiteral("%1 at byte %2").arg(parseError.errorString()).arg(parseError.offset));
    const QJsonObject top = json.object();
    if (!json.isObject() ||
        top.value(QStringLiteral("format")).toString() != QLatin1String(kFormatName))
        throw damaged(QStringLiteral("not a PlenBatchPrint settings file"));
    if (top.value(QStringLiteral("version")).toInt() != kFormatVersion)
        throw damaged(QStringLiteral("unknown format version"));
    try {
        StoredKey document;
        for (auto it = top.begin(); it != top.end(); ++it) {
            if (it.key() == QLatin1String("format") || it.key() == QLatin1String("version"))
                continue;
            if (!splitPath(it.key()) || it.key().contains(QLatin1Char('\\')))
                throw FormatError(QStringLiteral("bad root name \"") + it.key() + QLatin1Char('"'));
            document.subkeys.push_back(keyFromJson(it.key(), it.value(), it.key()));
        }
        return document;
    } catch (const FormatError& error) {
        throw damaged(error.what());
    }
}

void RegistryStore::save(const StoredKey& document) const {
    QJsonObject top = keyToJson(document).value(QStringLiteral("keys")).toObject();
    top[QStringLiteral("format")] = QString::fromLatin1(kFormatName);
    top[QStringLiteral("version")] = kFormatVersion;
    const QByteArray content = QJsonDocument(top).toJson(QJsonDocument::Indented);

    const auto failed = [&](const QString& cause) {
        return RegistryStoreError(
            QStringLiteral("Cannot write the settings file %1: %2").arg(fileName_, cause));
    };
    QSaveFile file(fileName_);
    if (!file.open(QIODevice::WriteOnly)) throw failed(file.errorString());
    if (!WriteAllBytes(file, content)) throw failed(file.errorString());
    if (::fsync(file.handle()) != 0) throw failed(errnoText());
    if (!file.commit()) throw failed(file.errorString());
    syncFolder(QFileInfo(fileName_).absolutePath());
}

std::optional<QString> RegistryStore::setAsideIfDamaged() {
    try {
        load();
        return std::nullopt;
    } catch (const RegistryStoreDamaged& error) {
        const QString aside = fileName_ + QStringLiteral(".damaged");
        if (std::rename(QFile::encodeName(fileName_).constData(),
                        QFile::encodeName(aside).constData()) != 0)
            return error.description() +
                   QStringLiteral(". It could not be set aside (%1); settings are not saved.")
                       .arg(errnoText());
        return QStringLiteral(
                   "The settings file %1 was damaged (%2). It was kept as %3, and "
                   "PlenBatchPrint goes on with its default settings.")
            .arg(fileName_, error.cause(), aside);
    } catch (const RegistryStoreError&) {
        return std::nullopt;
    }
}

void RegistryStore::modify(const std::function<bool(StoredKey&)>& change) {
    if (fileName_.isEmpty()) throw RegistryStoreError(QStringLiteral("No settings file is set"));
    const QString folder = QFileInfo(fileName_).absolutePath();
    if (!QDir().mkpath(folder))
        throw RegistryStoreError(
            QStringLiteral("Cannot create the settings folder %1").arg(folder));
    const FileLock lock(fileName_ + QStringLiteral(".lock"));
    StoredKey document = load();
    if (change(document)) save(document);
}

}  // namespace pbp
