#include "support/common_dialog.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "support/platform.h"
#include "support/vb_error.h"

namespace pbp {

namespace {

QStringList patternsOf(const QString& field) {
    QStringList patterns;
    for (const QString& pattern : field.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!pattern.trimmed().isEmpty()) patterns.append(pattern.trimmed());
    return patterns;
}

// "*.csv" gives "csv"; a pattern with other wildcards gives no suffix.
QString suffixOf(const QString& defaultExt) {
    const QStringList patterns = patternsOf(defaultExt);
    if (patterns.isEmpty()) return {};
    QString suffix = patterns.first();
    if (suffix.startsWith(QLatin1String("*."))) suffix.remove(0, 2);
    if (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
    return suffix.contains(QLatin1Char('*')) || suffix.contains(QLatin1Char('?')) ? QString()
                                                                                  : suffix;
}

// The deepest folder holding every file (the dialog's own folder in practice).
QString commonFolder(const QStringList& files) {
    QStringList common = QFileInfo(files.first()).absolutePath().split(QLatin1Char('/'));
    for (const QString& file : files) {
        const QStringList levels = QFileInfo(file).absolutePath().split(QLatin1Char('/'));
        qsizetype same = 0;
        while (same < common.size() && same < levels.size() && common[same] == levels[same]) ++same;
        common = common.mid(0, same);
    }
    const QString folder = common.join(QLatin1Char('/'));
    return folder.isEmpty() ? QStringLiteral("/") : folder;
}

// The characters the classic name buffer needs for the chosen files: one path and its NUL, or
// the folder and the names relative to it, each with its NUL, and a closing NUL.
qsizetype bufferLength(const QStringList& files) {
    if (files.size() == 1) return files.first().size() + 1;
    const QString folder = commonFolder(files);
    qsizetype length = folder.size() + 2;
    for (const QString& file : files) length += QDir(folder).relativeFilePath(file).size() + 1;
    return length;
}

FileDialogService& dialogs() {
    if (!platform().fileDialogs) throw ObjectNotSetError();
    return *platform().fileDialogs;
}

}  // namespace

QStringList FilterToNameFilters(const QString& filter) {
    static const QRegularExpression trailingPatterns(
        QStringLiteral("\\s*\\([^()]*\\*[^()]*\\)\\s*$"));
    QStringList nameFilters;
    if (filter.isEmpty()) return nameFilters;
    const QStringList fields = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        const QString patterns = patternsOf(fields[i + 1]).join(QLatin1Char(' '));
        if (patterns.isEmpty()) continue;
        QString description = fields[i];
        description.remove(trailingPatterns);
        description = description.trimmed();
        nameFilters.append(description.isEmpty()
                               ? patterns
                               : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return nameFilters;
}

bool IsWindows2000Family() {
    // The NT family with major version 5; Linux is neither.
    return false;
}

qint32 GetOpenFileNameRecordSize() {
    return IsWindows2000Family() ? 88 : 76;
}

FileDialogRequest C_CommonDlg::buildRequest(bool save) {
    if (DefaultExt.isEmpty() && FilterIndex > 0) {
        const QStringList fields = Filter.split(QLatin1Char('|'));
        const qsizetype patternField = 2 * qsizetype(FilterIndex) - 1;
        if (patternField < fields.size()) DefaultExt = fields[patternField];
    }
    // The name buffer holds the initial name, its NUL and at least one more character.
    if (FileName.size() > MaxFileSize - 2)
        throw VbError(5, QStringLiteral("Invalid procedure call or argument"));

    FileDialogRequest request;
    request.owner = OwnerWindow;
    request.save = save;
    request.allowMultiple = !save && (flags & OFN_ALLOWMULTISELECT) != 0;
    request.title = DialogTitle;
    request.initialDir = InitDir;
    request.fileName = FileName;
    request.nameFilters = FilterToNameFilters(Filter);
    request.selectedFilter = FilterIndex > 0 ? FilterIndex - 1 : 0;
    request.defaultSuffix = suffixOf(DefaultExt);
    return request;
}

void C_CommonDlg::failWith(qint32 code) {
    if (code == 0 && CancelError)
        code = kCommonDialogCancel;
    else
        FileName.clear();
    if (code != 0)
        throw VbError(code, QStringLiteral("Application-defined or object-defined error"));
}

void C_CommonDlg::ShowOpen() {
    const QStringList files = dialogs().run(buildRequest(false)).files;
    if (files.isEmpty()) return failWith(0);
    if (bufferLength(files) > MaxFileSize) return failWith(kCommonDialogBufferTooSmall);
    m_cFileNames = files;
    FileName = files.first();
}

void C_CommonDlg::ShowSave() {
    const QStringList files = dialogs().run(buildRequest(true)).files;
    if (files.isEmpty()) return failWith(0);
    if (files.first().size() + 1 > MaxFileSize) return failWith(kCommonDialogBufferTooSmall);
    m_cFileNames = {files.first()};
    FileName = files.first();
}

}  // namespace pbp
