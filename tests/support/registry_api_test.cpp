#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>

#include "support/mod_registry_api.h"
#include "support/registry_store.h"
#include "tests/common/fake_platform.h"

namespace pbp {
namespace {

const QString kKey = QStringLiteral("Software\\Corvane\\PlenTools_2003\\PlenBatchPrint 2003");
const QString kPrinter = QStringLiteral("DefaultPrinter");

// Runs `body` and answers the VbError it raised (number -1 when it raised none).
VbError raisedBy(const std::function<void()>& body) {
    try {
        body();
    } catch (const VbError& error) {
        return error;
    }
    return VbError(-1, QString());
}

void putValue(const QString& key, const QString& name, quint32 type, const QByteArray& data) {
    RegistryStore store(platform().registryFile);
    store.createKey(QStringLiteral("HKEY_CURRENT_USER\\") + key);
    store.setValue(QStringLiteral("HKEY_CURRENT_USER\\") + key, RegistryValue{name, type, data});
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(RegistryApi, StringsRoundTripAndMissingItemsRaiseTheirErrors) {
    test::ScopedFakePlatform fake;
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kKey));

    const VbError noKey = raisedBy([] { ReadRegistryString(HKEY_CURRENT_USER, kKey, kPrinter); });
    EXPECT_EQ(noKey.number(), 1000);
    EXPECT_EQ(noKey.description(), QStringLiteral("Registry Key does not exist"));
    EXPECT_EQ(
        raisedBy([] { WriteRegistryString(HKEY_CURRENT_USER, kKey, kPrinter, "x"); }).number(),
        1000);

    AddRegistryKey(HKEY_CURRENT_USER, kKey);
    AddRegistryKey(HKEY_CURRENT_USER, kKey);  // an existing key is fine
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, QStringLiteral("Software\\Corvane")));

    const VbError noValue = raisedBy([] { ReadRegistryString(HKEY_CURRENT_USER, kKey, kPrinter); });
    EXPECT_EQ(noValue.number(), 1001);
    EXPECT_EQ(noValue.description(), QStringLiteral("Item does not exist for this registry key"));

    WriteRegistryString(HKEY_CURRENT_USER, kKey, kPrinter, QString());
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kKey, kPrinter), QStringLiteral(" "));
    WriteRegistryString(HKEY_CURRENT_USER, kKey, kPrinter, QStringLiteral("Büro Drucker"));
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kKey, kPrinter),
              QStringLiteral("Büro Drucker"));

    EXPECT_EQ(
        raisedBy([] { AddRegistryKey(HKEY_CURRENT_USER, QStringLiteral("a\\\\b")); }).description(),
        QStringLiteral("Unable to create the registry key"));
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(RegistryApi, QueryLimitAndClosedHandles) {
    test::ScopedFakePlatform fake;
    putValue(kKey, QStringLiteral("fits"), REG_SZ, QByteArray(1023, 'a') + '\0');
    putValue(kKey, QStringLiteral("long"), REG_SZ, QByteArray(1024, 'a') + '\0');
    putValue(kKey, QStringLiteral("number"), REG_DWORD, QByteArray("\x41\x00\x00\x00", 4));

    RegistryKeyHandle handle = OpenRegistryKey(HKEY_CURRENT_USER, kKey);
    EXPECT_EQ(QueryRegistryString(handle, QStringLiteral("fits")).size(), 1023);
    EXPECT_EQ(raisedBy([&] { QueryRegistryString(handle, QStringLiteral("long")); }).number(),
              1001);
    EXPECT_EQ(QueryRegistryString(handle, QStringLiteral("number")), QStringLiteral("A"));
    CloseRegistryKey(handle);
    EXPECT_EQ(raisedBy([&] { SetRegistryString(handle, QStringLiteral("x"), "y"); }).number(),
              1001);
}

TEST(RegistryApi, EnsureCreatesOnceAndCountsAnyEntryContainingTheName) {
    test::ScopedFakePlatform fake;
    EnsureRegistryValue(HKEY_CURRENT_USER, kKey, kPrinter, QStringLiteral(" "));
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kKey, kPrinter), QStringLiteral(" "));

    WriteRegistryString(HKEY_CURRENT_USER, kKey, kPrinter, QStringLiteral("lp0"));
    EnsureRegistryValue(HKEY_CURRENT_USER, kKey, kPrinter, QStringLiteral(" "));
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kKey, kPrinter), QStringLiteral("lp0"));

    const QString other = QStringLiteral("Software\\Other");
    AddRegistryKey(HKEY_CURRENT_USER, other);
    WriteRegistryString(HKEY_CURRENT_USER, other, QStringLiteral("Note"),
                        QStringLiteral("see DefaultPrinter"));
    EnsureRegistryValue(HKEY_CURRENT_USER, other, kPrinter, QStringLiteral(" "));
    EXPECT_FALSE(RegistryValueExists(HKEY_CURRENT_USER, other, kPrinter));
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(RegistryApi, EnsureReportsAValueItCouldNotWrite) {
    test::ScopedFakePlatform fake;
    AddRegistryKey(HKEY_CURRENT_USER, kKey);
    // A folder where the lock file belongs makes every write fail.
    const QString lockFile = platform().registryFile + QStringLiteral(".lock");
    ASSERT_TRUE(QFile::remove(lockFile) && QDir().mkpath(lockFile));
    const VbError error =
        raisedBy([] { EnsureRegistryValue(HKEY_CURRENT_USER, kKey, kPrinter, " "); });
    EXPECT_EQ(error.number(), 1001);
    EXPECT_TRUE(error.description().contains(QStringLiteral("Cannot lock the settings file")))
        << error.description().toStdString();
}

TEST(RegistryApi, GetRegistryValueConvertsEachType) {
    test::ScopedFakePlatform fake;
    EXPECT_FALSE(GetRegistryValue(HKEY_CURRENT_USER, kKey, kPrinter).isValid());

    putValue(kKey, QStringLiteral("sz"), REG_SZ, QByteArray("lp0\0", 4));
    putValue(kKey, QStringLiteral("expand"), REG_EXPAND_SZ, QByteArray("%HOME%/x\0", 9));
    putValue(kKey, QStringLiteral("multi"), REG_MULTI_SZ, QByteArray("a\0bc\0\0", 6));
    putValue(kKey, QStringLiteral("dword"), REG_DWORD, QByteArray("\xfe\xff\xff\xff", 4));
    putValue(kKey, QStringLiteral("binary"), REG_BINARY, QByteArray("\x00\x01\xff", 3));
    putValue(kKey, QStringLiteral("qword"), 11, QByteArray(8, '\0'));
    putValue(kKey, QStringLiteral("nodata"), REG_SZ, QByteArray());

    const auto get = [](const char* name) {
        return GetRegistryValue(HKEY_CURRENT_USER, kKey, QString::fromLatin1(name));
    };
    EXPECT_EQ(get("sz"), QVariant(QStringLiteral("lp0")));
    EXPECT_EQ(get("expand"), QVariant(QStringLiteral("%HOME%/x")));
    EXPECT_EQ(get("multi"), QVariant(QString::fromLatin1("a\0bc", 4)));
    EXPECT_EQ(get("dword"), QVariant(qint32(-2)));
    EXPECT_EQ(get("binary"), QVariant(QByteArray("\x00\x01\xff", 3)));
    EXPECT_EQ(get("nodata"), QVariant(QString()));
    for (const char* name : {"qword", "missing"}) {
        const VbError error = raisedBy([&] { get(name); });
        EXPECT_EQ(error.number(), 1001);
        EXPECT_EQ(error.description(), QStringLiteral("Usupported value type"));
    }

    EXPECT_TRUE(RegistryValueExists(HKEY_CURRENT_USER, kKey, QStringLiteral("nodata")));
    EXPECT_TRUE(RegistryValueExists(HKEY_CURRENT_USER, kKey, QStringLiteral("sz")));
    EXPECT_FALSE(RegistryValueExists(HKEY_CURRENT_USER, kKey, QStringLiteral("missing")));
}

TEST(RegistryApi, ListingKeepsCreationOrderAndStopsAtAnOversizedValue) {
    test::ScopedFakePlatform fake;
    AddRegistryKey(HKEY_CURRENT_USER, kKey);
    EXPECT_TRUE(ListRegistryValues(HKEY_CURRENT_USER, kKey).isEmpty());

    WriteRegistryString(HKEY_CURRENT_USER, kKey, QStringLiteral("b"), QStringLiteral("2"));
    WriteRegistryString(HKEY_CURRENT_USER, kKey, QStringLiteral("a"), QStringLiteral("1"));
    WriteRegistryString(HKEY_CURRENT_USER, kKey, QStringLiteral("b"), QStringLiteral("3"));
    putValue(kKey, QStringLiteral("d"), REG_DWORD, QByteArray("\x07\x00\x00\x00", 4));
    putValue(kKey, QStringLiteral("fits"), REG_BINARY, QByteArray(255, 'x'));
    putValue(kKey, QString(254, QLatin1Char('n')), REG_SZ, QByteArray("n\0", 2));
    EXPECT_EQ(ListRegistryValues(HKEY_CURRENT_USER, kKey),
              QStringList({"b\\\\3", "a\\\\1", "d\\\\\x07", "fits\\\\" + QString(255, 'x'),
                           QString(254, 'n') + "\\\\n"}));

    putValue(kKey, QStringLiteral("big"), REG_BINARY, QByteArray(256, 'x'));
    putValue(kKey, QStringLiteral("after"), REG_SZ, QByteArray("z\0", 2));
    EXPECT_EQ(ListRegistryValues(HKEY_CURRENT_USER, kKey).size(), 5);
    putValue(QStringLiteral("Other"), QString(255, QLatin1Char('n')), REG_SZ, "n");
    EXPECT_TRUE(ListRegistryValues(HKEY_CURRENT_USER, QStringLiteral("Other")).isEmpty());
}

TEST(RegistryApi, DamagedSettingsFileIsReportedAndLeftAlone) {
    test::ScopedFakePlatform fake;
    const QString file = platform().registryFile;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).absolutePath()));
    const QByteArray damaged = "{\"format\": \"PlenBatchPrint settings\", \"version\": 1, \"HKEY";
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(damaged);
    }

    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kKey));
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(
        QStringLiteral("Problem in modRegistryAPI.RegistryKeyExists\r\nError Number: 1000")));
    EXPECT_TRUE(fake.messages.shown[0].text.contains(file + QStringLiteral(" is damaged")));

    const VbError onRead = raisedBy([] { GetRegistryValue(HKEY_CURRENT_USER, kKey, kPrinter); });
    EXPECT_EQ(onRead.number(), 1000);
    const VbError onEnsure =
        raisedBy([] { EnsureRegistryValue(HKEY_CURRENT_USER, kKey, kPrinter, " "); });
    EXPECT_EQ(onEnsure.number(), 1002);
    EXPECT_TRUE(onEnsure.description().contains(QStringLiteral("left unchanged")));
    EXPECT_EQ(fileBytes(file), damaged);
}

}  // namespace
}  // namespace pbp
