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
#include "support/registry_store.h"
#include "tests/common/fake_platform.h"
#include "tests/common/raised.h"

// The settings store (a JSON file shared by processes) and the registry layer over it.

namespace pbp {
namespace {

using test::raised;

constexpr quint32 HKCU = HKEY_CURRENT_USER;
const QString kKey = test::kSettingsKey;
const QString kPrinter = QStringLiteral("DefaultPrinter");
const QString kStoreKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Test");

void putValue(const QString& name, quint32 type, const QByteArray& data) {
    RegistryStore store(platform().registryFile);
    store.createKey("HKEY_CURRENT_USER\\" + kKey);
    store.setValue("HKEY_CURRENT_USER\\" + kKey, RegistryValue{name, type, data});
}

TEST(RegistryApi, StringsRoundTripAndMissingItemsAndFailedWritesRaiseTheirErrors) {
    test::ScopedFakePlatform fake;
    EXPECT_EQ(raised([] { ReadRegistryString(HKCU, kKey, kPrinter); }).number(), 1000);
    EXPECT_EQ(raised([] { WriteRegistryString(HKCU, kKey, kPrinter, "x"); }).number(), 1000);
    AddRegistryKey(HKCU, kKey);
    AddRegistryKey(HKCU, kKey);  // an existing key is fine
    EXPECT_EQ(raised([] { ReadRegistryString(HKCU, kKey, kPrinter); }).number(), 1001);
    EXPECT_EQ(raised([] { AddRegistryKey(HKCU, QStringLiteral("a\\\\b")); }).number(), 1002);

    WriteRegistryString(HKCU, kKey, kPrinter, QString());
    EXPECT_EQ(ReadRegistryString(HKCU, kKey, kPrinter), QStringLiteral(" "));
    WriteRegistryString(HKCU, kKey, kPrinter, QStringLiteral("Büro Drucker"));
    EXPECT_EQ(ReadRegistryString(HKCU, kKey, kPrinter), QStringLiteral("Büro Drucker"));

    putValue(QStringLiteral("fits"), REG_SZ, QByteArray(1023, 'a') + '\0');
    putValue(QStringLiteral("long"), REG_SZ, QByteArray(1024, 'a') + '\0');
    EXPECT_EQ(ReadRegistryString(HKCU, kKey, QStringLiteral("fits")).size(), 1023);
    EXPECT_EQ(raised([] { ReadRegistryString(HKCU, kKey, QStringLiteral("long")); }).number(),
              1001);
    EXPECT_TRUE(fake.messages.shown.empty());

    // A folder where the lock file belongs makes every write fail. (That a missing value is
    // written once and a present one kept, the window's printer tests prove.)
    const QString lockFile = platform().registryFile + QStringLiteral(".lock");
    ASSERT_TRUE(QFile::remove(lockFile) && QDir().mkpath(lockFile));
    EXPECT_EQ(raised([] { EnsureRegistryValue(HKCU, kKey, QStringLiteral("New"), " "); }).number(),
              1001);
}

TEST(RegistryApi, DwordsAreSignedAndListingStopsAtAnOversizedValue) {
    test::ScopedFakePlatform fake;
    putValue(QStringLiteral("b"), REG_SZ, QByteArray("2\0", 2));
    putValue(QStringLiteral("fits"), REG_BINARY, QByteArray(255, 'x'));
    putValue(QStringLiteral("big"), REG_BINARY, QByteArray(256, 'x'));
    putValue(QStringLiteral("dword"), REG_DWORD, QByteArray("\xfe\xff\xff\xff", 4));
    EXPECT_EQ(GetRegistryValue(HKCU, kKey, "dword"), QVariant(qint32(-2)));
    EXPECT_EQ(ListRegistryValues(HKCU, kKey),
              QStringList({"b\\\\2", "fits\\\\" + QString(255, 'x')}));
}

TEST(RegistryApi, DamagedSettingsFileIsReportedAndLeftAlone) {
    test::ScopedFakePlatform fake;
    const QString file = platform().registryFile;
    for (const QByteArray& damaged :
         {QByteArray("not json"), QByteArray("{\"format\": \"other\", \"version\": 1}"),
          QByteArray("{\"format\": \"PlenBatchPrint settings\", \"version\": 1, "
                     "\"HKEY_CURRENT_USER\": {\"values\": [{\"name\": \"x\", \"type\": "
                     "\"REG_BINARY\", \"hex\": \"abc\"}]}}")}) {
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
    EXPECT_THROW(RegistryStore(fake.dir.path()).keyExists("HKEY_CURRENT_USER"), RegistryStoreError);
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
    ::waitpid(pid, &status, 0);
    return status;
}

TEST(RegistryStore, EveryTypeSurvivesTheFileExactly) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("deep/folder/registry.json"));
    const std::vector<RegistryValue> written = {
        {QStringLiteral("text"), REG_SZ, QByteArray("Ünïcode \"quoted\"\0", 19)},
        {QStringLiteral("not utf-8"), REG_EXPAND_SZ, QByteArray("\xff\xfe\0", 3)},
        {QStringLiteral("list"), REG_MULTI_SZ, QByteArray("a\0b\0\0", 5)},
        {QString(), 11, QByteArray("\0\x01\x80", 3)},
    };
    RegistryStore store(file);
    EXPECT_FALSE(store.setValue(kStoreKey, written[0]));
    EXPECT_TRUE(store.createKey(kStoreKey));
    for (const RegistryValue& value : written) EXPECT_TRUE(store.setValue(kStoreKey, value));
    const auto read =
        RegistryStore(file).values(QStringLiteral("hkey_current_user\\SOFTWARE\\test"));
    ASSERT_TRUE(read.has_value());
    ASSERT_EQ(read->size(), written.size());
    for (size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ((*read)[i].name, written[i].name);
        EXPECT_EQ((*read)[i].type, written[i].type);
        EXPECT_EQ((*read)[i].data, written[i].data) << written[i].name.toStdString();
    }
}

// A writer killed at any moment leaves either the old or the new content, never a mix.
// A pipe (which would block for ever), a link to an endless device and a huge file in the
// settings file's place are refused with the reason, and left as they are.
TEST(RegistryStore, OnlyARegularFileOfSaneSizeIsRead) {
    QTemporaryDir dir;
    const auto errorFor = [&](const QString& name) {
        try {
            RegistryStore(dir.filePath(name)).keyExists(kStoreKey);
        } catch (const RegistryStoreError& error) {
            return error.description();
        }
        return QString();
    };
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo.json")).constData(), 0600), 0);
    EXPECT_TRUE(errorFor("fifo.json").contains("not a regular file"))
        << errorFor("fifo.json").toStdString();
    ASSERT_TRUE(QFile::link("/dev/zero", dir.filePath("zero.json")));
    EXPECT_TRUE(errorFor("zero.json").contains("not a regular file"));
    QFile huge(dir.filePath("huge.json"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64(5) << 20));
    huge.close();
    EXPECT_TRUE(errorFor("huge.json").contains("larger than 4 MB"))
        << errorFor("huge.json").toStdString();
    EXPECT_EQ(QFileInfo(dir.filePath("huge.json")).size(), qint64(5) << 20);
}

TEST(RegistryStore, WriterKilledMidwayLeavesACompleteFile) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("registry.json"));
    constexpr int kSize = 512 * 1024;
    RegistryStore(file).createKey(kStoreKey);
    RegistryStore(file).setValue(kStoreKey,
                                 {QStringLiteral("big"), REG_BINARY, QByteArray(kSize, 'a')});

    for (int round = 0; round < 8; ++round) {
        const pid_t child = startChild([&] {
            RegistryStore store(file);
            for (char fill = 'b';; fill = fill == 'z' ? 'b' : char(fill + 1))
                store.setValue(kStoreKey,
                               {QStringLiteral("big"), REG_BINARY, QByteArray(kSize, fill)});
        });
        ASSERT_GT(child, 0);
        QThread::msleep(20 + 7 * round);
        ::kill(child, SIGKILL);
        EXPECT_TRUE(WIFSIGNALED(waitForChild(child)));

        const auto values = RegistryStore(file).values(kStoreKey);
        ASSERT_TRUE(values.has_value());
        ASSERT_EQ(values->size(), 1u);
        const QByteArray& data = values->front().data;
        ASSERT_EQ(data.size(), kSize);
        EXPECT_EQ(data.count(data.front()), kSize) << "round " << round;
    }
    // The lock died with the writer: the next change goes through.
    EXPECT_TRUE(RegistryStore(file).setValue(kStoreKey, {QStringLiteral("after"), REG_SZ, "ok"}));
}

TEST(RegistryStore, TwoProcessesWritingAtOnceLoseNothing) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("settings/registry.json"));
    constexpr int kPerWriter = 40;
    const auto writer = [&](char tag) {
        return [&, tag] {
            RegistryStore store(file);
            store.createKey(kStoreKey);
            for (int i = 0; i < kPerWriter; ++i)
                if (!store.setValue(kStoreKey, {QString(QLatin1Char(tag)) + QString::number(i),
                                                REG_SZ, QByteArray(1, tag) + '\0'}))
                    throw RegistryStoreError(QStringLiteral("key vanished"));
        };
    };
    const pid_t first = startChild(writer('a'));
    const pid_t second = startChild(writer('b'));
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_EQ(waitForChild(first), 0);
    EXPECT_EQ(waitForChild(second), 0);

    const auto values = RegistryStore(file).values(kStoreKey);
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->size(), size_t(2 * kPerWriter));  // every name is distinct
}

}  // namespace
}  // namespace pbp
