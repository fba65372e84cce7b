#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdlib>

#include "support/platform.h"
#include "tests/fuzz/fuzz_target.h"

namespace pbp::fuzz {

namespace {

class SilentMessages : public MessageService {
  public:
    void show(const QString&, const QString&, MessageIcon) override {}
    void beep() override {}
};

QTemporaryDir& privateFolder() {
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/plen-fuzz-XXXXXX"));
    return folder;
}

}  // namespace

void prepare() {
    static const bool prepared = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "plen-fuzz";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);
        static SilentMessages messages;
        Platform quiet;
        quiet.messages = &messages;
        quiet.registryFile = privateFolder().filePath(QStringLiteral("program.ini"));
        setPlatform(quiet);
        return true;
    }();
    (void)prepared;
}

QByteArray bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

QString writeInputFile(const std::uint8_t* data, std::size_t size, const QString& name) {
    const QString path = privateFolder().filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size)) {
        qFatal("cannot write the fuzz input file %s", qPrintable(path));
    }
    return path;
}

}  // namespace pbp::fuzz
