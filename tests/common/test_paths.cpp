#include "tests/common/test_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pbp::test {

QString sourceDir() {
    const QString fromEnv = qEnvironmentVariable("PLEN_SOURCE_DIR");
    return fromEnv.isEmpty() ? QStringLiteral(PLEN_TEST_SOURCE_DIR) : fromEnv;
}

QString fixtureDrawing(const QString& name) {
    return sourceDir() + QStringLiteral("/tests/fixtures/drawings/") + name;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        << path.toStdString();
    return path;
}

QString sharedTestDataDir() {
    QString dir = qEnvironmentVariable("PLEN_SHARED_TESTDATA");
    if (dir.isEmpty()) dir = sourceDir() + QStringLiteral("/../shared/testdata");
    return QFileInfo(dir).isDir() ? QDir(dir).canonicalPath() : QString();
}

}  // namespace pbp::test
