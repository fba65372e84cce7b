#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <functional>

#include "support/mod_registry_api.h"
#include "support/settings_store.h"
#include "tests/common/fake_platform.h"
#include "tests/common/raised.h"

// The settings store (an INI file shared by processes) and the registry layer over it.

namespace pbp {
namespace {

using test::raised;

constexpr quint32 HKCU = HKEY_CURRENT_USER;
const QString kKey = test::kSettingsKey;
const QString kPrinter = QStringLiteral("DefaultPrinter");

TEST(RegistryApi, StringsRoundTripAndMissingItemsAndBadKeysRaiseTheirErrors) {
    test::ScopedFakePlatform fake;
    EXPECT_EQ(raised([] { ReadRegistryString(HKCU, kKey, kPrinter); }).number(), 1001);
    EXPECT_EQ(raised([] { ReadRegistryString(HKCU, "Software\\Other", kPrinter); }).number(), 1000);
    EXPECT_EQ(raised([] { AddRegistryKey(HKCU, kKey + "\\\\b"); }).number(), 1002);
    AddRegistryKey(HKCU, kKey + "\\Window");

    WriteRegistryString(HKCU, kKey, kPrinter, QString());
    EXPECT_EQ(ReadRegistryString(HKCU, kKey, kPrinter), QStringLiteral(" "));
    WriteRegistryString(HKCU, kKey, kPrinter, QStringLiteral("Büro Drucker"));
    EXPECT_EQ(ReadRegistryString(HKCU, kKey.toUpper(), kPrinter), QStringLiteral("Büro Drucker"));

    WriteRegistryString(HKCU, kKey, QStringLiteral("long"), QString(1024, 'a'));
    EXPECT_EQ(raised([] { ReadRegistryString(HKCU, kKey, QStringLiteral("long")); }).number(),
              1001);
    // Listing goes in order of name and stops at the first value too long for its buffer.
    EXPECT_EQ(ListRegistryValues(HKCU, kKey), QStringList{"DefaultPrinter\\\\Büro Drucker"});
    settingsStore().setValue(QStringLiteral("Window"), QStringLiteral("bytes"),
                             QByteArray("\x01\0\x02", 3));
    EXPECT_EQ(GetRegistryValue(HKCU, kKey + "\\Window", "bytes"), QByteArray("\x01\0\x02", 3));
    EXPECT_TRUE(fake.messages.shown.empty());
}

// (Set aside, it leaves a store with defaults: the window's damaged-settings test.)
TEST(RegistryApi, DamagedSettingsFileIsReportedAndLeftAlone) {
    test::ScopedFakePlatform fake;
    const QString file = platform().registryFile;
    for (const QByteArray& damaged :
         {QByteArray("not json"), QByteArray("[unclosed\nx=1"), QByteArray("x=1\n\0\x01", 5)}) {
        test::writeFile(file, damaged);
        fake.messages.shown.clear();
        EXPECT_FALSE(RegistryKeyExists(HKCU, kKey));
        ASSERT_EQ(fake.messages.shown.size(), 1u);
        EXPECT_TRUE(fake.messages.shown[0].text.contains(file + " is damaged")) << damaged.data();
        const VbError error = raised([] { EnsureRegistryValue(HKCU, kKey, kPrinter, " "); });
        EXPECT_EQ(error.number(), 1002);
        EXPECT_TRUE(error.description().contains(file + " is damaged")) << damaged.data();
        EXPECT_EQ(test::fileBytes(file), damaged);
    }
}

// The settings file earlier versions kept moves into the new one at the first start.
TEST(SettingsStore, TheOldRegistryFileIsMovedInOnceAndKeptAside) {
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("registry.json"));
    const QString file = dir.filePath(QStringLiteral("settings.ini"));
    const QByteArray json =
        R"({"format": "PlenBatchPrint settings", "version": 1, "HKEY_CURRENT_USER":
 {"keys": {"Software": {"keys": {"Corvane": {"keys": {"PlenTools_2003": {"keys": {
  "plenbatchprint 2003": {
   "values": [{"name": "DefaultPrinter", "type": "REG_SZ", "text": "Laser"},
              {"name": "DrawingTimeLimit", "type": "REG_DWORD", "dword": 90}],
   "keys": {"PrinterOptions": {"keys": {"Büro 2": {
    "values": [{"name": "sides", "type": "REG_SZ", "text": "one-sided"}]}}}}}}}}}}}}}})";
    test::writeFile(old, json);

    SettingsStore store(file);
    EXPECT_EQ(store.value(QString(), QStringLiteral("DefaultPrinter")), QStringLiteral("Laser"));
    EXPECT_FALSE(QFile::exists(old));
    EXPECT_EQ(test::fileBytes(old + ".migrated"), json);
    SettingsStore again(file);  // as the next start reads it
    EXPECT_EQ(again.value(QString(), QStringLiteral("DrawingTimeLimit")).toString(), "90");
    EXPECT_EQ(again.printerOptions(QStringLiteral("Büro 2")),
              (QMap<QString, QString>{{"sides", "one-sided"}}));

    QTemporaryDir other;
    test::writeFile(other.filePath("registry.json"), "{ not json");
    EXPECT_TRUE(SettingsStore(other.filePath("settings.ini")).names(QString()).isEmpty());
    EXPECT_EQ(test::fileBytes(other.filePath("registry.json")), "{ not json");
}

// A store that read the file sees a change another process made to it.
TEST(SettingsStore, AChangeOnDiskIsReadAgain) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("settings.ini"));
    SettingsStore(file).keepPrinterOptions("P", {{"sides", "two-sided-long-edge"}});
    SettingsStore store(file);
    EXPECT_EQ(store.printerOptions("P").value("sides"), "two-sided-long-edge");
    QThread::msleep(10);
    SettingsStore(file).keepPrinterOptions("P", {{"sides", "one-sided"}});
    EXPECT_EQ(store.printerOptions("P").value("sides"), "one-sided");
}

// A pipe (which would block for ever), a link to an endless device and a huge file in the
// settings file's place are refused with the reason, and left as they are.
TEST(SettingsStore, OnlyARegularFileOfSaneSizeIsRead) {
    QTemporaryDir dir;
    const auto errorFor = [&](const QString& name) {
        try {
            SettingsStore(dir.filePath(name)).names(QString());
        } catch (const SettingsStoreError& error) {
            return error.description();
        }
        return QString();
    };
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo.ini")).constData(), 0600), 0);
    EXPECT_TRUE(errorFor("fifo.ini").contains("not a regular file"))
        << errorFor("fifo.ini").toStdString();
    ASSERT_TRUE(QFile::link("/dev/zero", dir.filePath("zero.ini")));
    EXPECT_TRUE(errorFor("zero.ini").contains("not a regular file"));
    QFile huge(dir.filePath("huge.ini"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64(5) << 20));
    huge.close();
    EXPECT_TRUE(errorFor("huge.ini").contains("larger than 4 MB"))
        << errorFor("huge.ini").toStdString();
    EXPECT_EQ(QFileInfo(dir.filePath("huge.ini")).size(), qint64(5) << 20);
}

// Runs `body` in a child process that ends without running any of this process's cleanup.
pid_t startChild(const std::function<void()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        try {
            body();
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    return pid;
}

int waitForChild(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid ? status : -1;
}

// A writer killed at any moment leaves either the old or the new content, never a mix.
TEST(SettingsStore, WriterKilledMidwayLeavesACompleteFile) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("settings.ini"));
    constexpr int kSize = 512 * 1024;
    SettingsStore(file).setValue("Test", "big", QString(kSize, 'a'));

    for (int round = 0; round < 5; ++round) {
        const pid_t child = startChild([&] {
            SettingsStore store(file);
            for (char fill = 'b';; fill = fill == 'z' ? 'b' : char(fill + 1))
                store.setValue("Test", "big", QString(kSize, QLatin1Char(fill)));
        });
        ASSERT_GT(child, 0);
        QThread::msleep(20 + 7 * round);
        ::kill(child, SIGKILL);
        EXPECT_TRUE(WIFSIGNALED(waitForChild(child)));

        const QString data = SettingsStore(file).value("Test", "big").toString();
        ASSERT_EQ(data.size(), kSize);
        EXPECT_EQ(data.count(data.front()), kSize) << "round " << round;
    }
    // The lock died with the writer: the next change goes through.
    SettingsStore(file).setValue("Test", "after", "ok");
    EXPECT_EQ(SettingsStore(file).value("Test", "after"), "ok");
}

TEST(SettingsStore, TwoProcessesWritingAtOnceLoseNothing) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("settings/settings.ini"));
    constexpr int kPerWriter = 40;
    const auto writer = [&](char tag) {
        return [&, tag] {
            SettingsStore store(file);
            for (int i = 0; i < kPerWriter; ++i)
                store.setValue("Test", QString(QLatin1Char(tag)) + QString::number(i),
                               QString(QLatin1Char(tag)));
        };
    };
    const pid_t first = startChild(writer('a'));
    const pid_t second = startChild(writer('b'));
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_EQ(waitForChild(first), 0);
    EXPECT_EQ(waitForChild(second), 0);
    EXPECT_EQ(SettingsStore(file).names("Test").size(), 2 * kPerWriter);  // all names distinct
}

}  // namespace
}  // namespace pbp
