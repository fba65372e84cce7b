#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>

class QSettings;

namespace pbp {

// The settings file cannot be read, is damaged, or cannot be written. The description names
// the file and the cause.
class SettingsStoreError : public std::runtime_error {
  public:
    explicit SettingsStoreError(const QString& description)
        : std::runtime_error(description.toStdString()), description_(description) {}
    const QString& description() const { return description_; }

  private:
    QString description_;
};

// The settings file is damaged: it is not a settings file this program can read.
class SettingsStoreDamaged : public SettingsStoreError {
  public:
    SettingsStoreDamaged(const QString& description, QString cause)
        : SettingsStoreError(description), cause_(std::move(cause)) {}
    // What is wrong with the file ("line 3 is not a setting", ...).
    const QString& cause() const { return cause_; }

  private:
    QString cause_;
};

// The window's size and place (QWidget::saveGeometry), the Status column's width and whether
// the preview pane is shown.
struct WindowLayout {
    QByteArray geometry;
    int statusColumnWidth = 0;        // 0: never saved
    std::optional<bool> showPreview;  // none: never chosen
};

// The program's settings in one INI file (QSettings), shared by every instance of the program.
// Groups name a level of settings with "/" between levels: "" holds the program's own values,
// "Window" the window's layout, "PrinterOptions/<printer>" one printer's option choices.
//
// The file is read once and again only when it changed on disk (its size, time or identity),
// so reading a value costs no file access. Before QSettings opens the file, the store checks
// that it is a regular file of at most 4 MB (a pipe would block, a device never end) and that
// every line is a section, a setting or a comment; otherwise every access raises
// SettingsStoreError (SettingsStoreDamaged when damaged) and the file is never written over.
// A missing file is an empty store; when the old registry.json lies beside it, its values are
// moved into the new file once and the old file is renamed to registry.json.migrated.
class SettingsStore {
  public:
    explicit SettingsStore(QString fileName);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    const QString& fileName() const { return fileName_; }

    // The value (a QString, or a QByteArray for binary data); invalid when it is missing.
    QVariant value(const QString& group, const QString& name);
    // The names of the group's values, sorted.
    QStringList names(const QString& group);
    // Writes the value to the file at once; raises SettingsStoreError when it cannot.
    void setValue(const QString& group, const QString& name, const QVariant& value);

    // The option choices kept for a printer: option name to value, blank values left out.
    QMap<QString, QString> printerOptions(const QString& printer);
    // Keeps these choices for the printer, replacing the values of the options they name.
    void keepPrinterOptions(const QString& printer, const QMap<QString, QString>& choices);

    // The layout kept when the window last closed; empty when none was kept or it is unreadable.
    WindowLayout windowLayout();
    void keepWindowLayout(const WindowLayout& layout);

    // When the file is damaged, renames it to "<file>.damaged" (replacing an older one), so
    // that the store starts empty and nothing of it is lost, and answers a message saying so.
    // Nothing for a missing, sound or unreadable file.
    std::optional<QString> setAsideIfDamaged();

  private:
    // What identifies one content of the file: it is read again when any of these changes.
    struct FileStamp {
        bool exists = false;
        quint64 device = 0, inode = 0;
        qint64 size = 0, seconds = 0, nanoseconds = 0;
        bool operator==(const FileStamp&) const = default;
    };
    FileStamp stampNow() const;
    QSettings& current();
    void reload();
    void importOldRegistry();

    QString fileName_;
    std::mutex mutex_;
    std::unique_ptr<QSettings> settings_;
    std::optional<FileStamp> stamp_;
    std::exception_ptr failure_;  // why the file cannot be used, until it changes
    bool importTried_ = false;
};

// The store of platform().registryFile, kept for the life of the process (a new one when the
// file name changes).
SettingsStore& settingsStore();

// The content of a settings file, read without waiting: nullopt when it does not exist.
// Raises SettingsStoreError for anything but a regular file of at most 4 MB, or a read error.
std::optional<QByteArray> readSettingsFile(const QString& fileName);

}  // namespace pbp
