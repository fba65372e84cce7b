#include "support/settings_store.h"

#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "support/old_registry.h"
#include "support/platform.h"

namespace pbp {

namespace {

// Far more than any settings file holds; a larger one is not ours to read into memory.
constexpr qint64 kMaxFileBytes = qint64(4) << 20;
const QString kPrinterOptionsGroup = QStringLiteral("PrinterOptions/");
const QString kWindowGroup = QStringLiteral("Window");
const QString kGeometryValue = QStringLiteral("Geometry");
const QString kStatusWidthValue = QStringLiteral("StatusColumnWidth");
const QString kPreviewValue = QStringLiteral("ShowPreview");

QString errnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString settingsKey(const QString& group, const QString& name) {
    return group.isEmpty() ? name : group + QLatin1Char('/') + name;
}

SettingsStoreDamaged damaged(const QString& fileName, const QString& cause) {
    return SettingsStoreDamaged(
        QStringLiteral("The settings file %1 is damaged (%2); it was left unchanged")
            .arg(fileName, cause),
        cause);
}

// QSettings reads past lines it does not understand; such a line means the file is not ours
// (or was cut or overwritten), and writing the store back would lose it.
void checkIniLines(const QByteArray& content, const QString& fileName) {
    if (content.contains('\0')) throw damaged(fileName, QStringLiteral("it holds binary data"));
    int number = 0;
    for (const QByteArray& raw : content.split('\n')) {
        ++number;
        const QByteArray line = raw.trimmed();
        const bool understood = line.isEmpty() || line.startsWith(';') || line.startsWith('#') ||
                                (line.startsWith('[') && line.endsWith(']')) || line.contains('=');
        if (!understood)
            throw damaged(fileName, QStringLiteral("line %1 is not a setting").arg(number));
    }
}

}  // namespace

std::optional<QByteArray> readSettingsFile(const QString& fileName) {
    const auto unreadable = [&](const QString& cause) {
        return SettingsStoreError(
            QStringLiteral("Cannot read the settings file %1: %2").arg(fileName, cause));
    };
    // Opened without waiting and checked through the open handle, so that a pipe or a device
    // put in the file's place is refused instead of blocking or being read without end.
    const int fd = ::open(QFile::encodeName(fileName).constData(),
                          O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT) return std::nullopt;
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
    return content;
}

SettingsStore::SettingsStore(QString fileName) : fileName_(std::move(fileName)) {}

SettingsStore::~SettingsStore() = default;

SettingsStore::FileStamp SettingsStore::stampNow() const {
    struct stat status {};
    if (::stat(QFile::encodeName(fileName_).constData(), &status) != 0) return {};
    return {true,
            quint64(status.st_dev),
            quint64(status.st_ino),
            qint64(status.st_size),
            qint64(status.st_mtim.tv_sec),
            qint64(status.st_mtim.tv_nsec)};
}

// The file is looked at (stat, no open) on every access and read again only when it changed.
QSettings& SettingsStore::current() {
    if (fileName_.isEmpty()) throw SettingsStoreError(QStringLiteral("No settings file is set"));
    FileStamp now = stampNow();
    if (!now.exists && !importTried_) {
        importTried_ = true;
        importOldRegistry();
        now = stampNow();
    }
    if (!stamp_ || *stamp_ != now) {
        stamp_ = now;
        reload();
    }
    if (failure_) std::rethrow_exception(failure_);
    return *settings_;
}

void SettingsStore::reload() {
    settings_.reset();
    failure_ = nullptr;
    try {
        if (const auto content = readSettingsFile(fileName_)) checkIniLines(*content, fileName_);
        settings_ = std::make_unique<QSettings>(fileName_, QSettings::IniFormat);
        if (settings_->status() != QSettings::NoError)
            throw damaged(fileName_, QStringLiteral("a section is not closed"));
    } catch (const SettingsStoreError&) {
        settings_.reset();
        failure_ = std::current_exception();
    }
}

// The values of registry.json, kept by earlier versions, go into the new file once; the old
// file is then renamed, so that nothing of it is lost. An old file that cannot be read is left
// as it is, and the store starts empty.
void SettingsStore::importOldRegistry() {
    const QString folder = QFileInfo(fileName_).absolutePath();
    const QString oldFile = folder + QStringLiteral("/registry.json");
    std::optional<std::vector<OldRegistryValue>> values;
    try {
        if (const auto content = readSettingsFile(oldFile)) values = oldRegistryValues(*content);
    } catch (const SettingsStoreError&) {
        return;
    }
    if (!values || !QDir().mkpath(folder)) return;
    QSettings settings(fileName_, QSettings::IniFormat);
    for (const OldRegistryValue& each : *values)
        settings.setValue(settingsKey(each.group, each.name), each.value);
    settings.sync();
    if (settings.status() == QSettings::NoError)
        std::rename(QFile::encodeName(oldFile).constData(),
                    QFile::encodeName(oldFile + QStringLiteral(".migrated")).constData());
}

QVariant SettingsStore::value(const QString& group, const QString& name) {
    const std::lock_guard lock(mutex_);
    return current().value(settingsKey(group, name));
}

QStringList SettingsStore::names(const QString& group) {
    const std::lock_guard lock(mutex_);
    QSettings& settings = current();
    settings.beginGroup(group);
    const QStringList names = settings.childKeys();
    settings.endGroup();
    return names;
}

void SettingsStore::setValue(const QString& group, const QString& name, const QVariant& value) {
    const std::lock_guard lock(mutex_);
    QSettings& settings = current();
    const QString key = settingsKey(group, name);
    if (settings.contains(key) && settings.value(key) == value) return;
    // Checked first: QSettings would keep a change it failed to write, and show it as stored.
    const QString folder = QFileInfo(fileName_).absolutePath();
    if (!QDir().mkpath(folder))
        throw SettingsStoreError(
            QStringLiteral("Cannot create the settings folder %1").arg(folder));
    const QByteArray path = QFile::encodeName(fileName_);
    if (::access(QFile::encodeName(folder).constData(), W_OK) != 0 ||
        (::access(path.constData(), F_OK) == 0 && ::access(path.constData(), W_OK) != 0))
        throw SettingsStoreError(
            QStringLiteral("Cannot write the settings file %1: %2").arg(fileName_, errnoText()));
    settings.setValue(key, value);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        stamp_.reset();
        throw SettingsStoreError(
            QStringLiteral("Cannot write the settings file %1").arg(fileName_));
    }
    // Our own change is in memory already: the file need not be read again.
    stamp_ = stampNow();
}

QMap<QString, QString> SettingsStore::printerOptions(const QString& printer) {
    const std::lock_guard lock(mutex_);
    QSettings& settings = current();
    settings.beginGroup(kPrinterOptionsGroup + printer);
    QMap<QString, QString> choices;
    for (const QString& option : settings.childKeys()) {
        const QString choice = settings.value(option).toString().trimmed();
        if (!choice.isEmpty()) choices.insert(option, choice);
    }
    settings.endGroup();
    return choices;
}

void SettingsStore::keepPrinterOptions(const QString& printer,
                                       const QMap<QString, QString>& choices) {
    for (auto it = choices.cbegin(); it != choices.cend(); ++it)
        setValue(kPrinterOptionsGroup + printer, it.key(), it.value());
}

// Kept as texts (base64 and a number), as earlier versions kept them.
WindowLayout SettingsStore::windowLayout() {
    WindowLayout layout;
    layout.geometry =
        QByteArray::fromBase64(value(kWindowGroup, kGeometryValue).toString().toLatin1());
    bool ok = false;
    const int width = value(kWindowGroup, kStatusWidthValue).toString().toInt(&ok);
    if (ok && width > 0) layout.statusColumnWidth = width;
    const QString preview = value(kWindowGroup, kPreviewValue).toString();
    if (!preview.isEmpty()) layout.showPreview = preview == QLatin1String("1");
    return layout;
}

void SettingsStore::keepWindowLayout(const WindowLayout& layout) {
    setValue(kWindowGroup, kGeometryValue, QString::fromLatin1(layout.geometry.toBase64()));
    setValue(kWindowGroup, kStatusWidthValue, QString::number(layout.statusColumnWidth));
    if (layout.showPreview)
        setValue(kWindowGroup, kPreviewValue,
                 *layout.showPreview ? QStringLiteral("1") : QStringLiteral("0"));
}

std::optional<QString> SettingsStore::setAsideIfDamaged() {
    const std::lock_guard lock(mutex_);
    try {
        current();
        return std::nullopt;
    } catch (const SettingsStoreDamaged& error) {
        const QString aside = fileName_ + QStringLiteral(".damaged");
        if (std::rename(QFile::encodeName(fileName_).constData(),
                        QFile::encodeName(aside).constData()) != 0)
            return error.description() +
                   QStringLiteral(". It could not be set aside (%1); settings are not saved.")
                       .arg(errnoText());
        stamp_.reset();
        return QStringLiteral(
                   "The settings file %1 was damaged (%2). It was kept as %3, and "
                   "PlenBatchPrint goes on with its default settings.")
            .arg(fileName_, error.cause(), aside);
    } catch (const SettingsStoreError&) {
        return std::nullopt;
    }
}

SettingsStore& settingsStore() {
    static std::mutex mutex;
    static std::unique_ptr<SettingsStore> store;
    const std::lock_guard lock(mutex);
    if (!store || store->fileName() != platform().registryFile)
        store = std::make_unique<SettingsStore>(platform().registryFile);
    return *store;
}

}  // namespace pbp
