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

constexpr quint32 HKCU = HKEY_CURRENT_USER;
const QString kKey = test::kSettingsKey;
const QString kPrinter = QStringLiteral("DefaultPrinter");

// The number of the VbError `body` raised, or -1 when it raised none.
qint32 raisedBy(const std::function<void()>& body) {
    try {
        body();
    } catch (const VbError& error) {
        return error.number();
    }
    return -1;
}

void putValue(const QString& name, quint32 type, const QByteArray& data) {
    RegistryStore store(platform().registryFile);
    store.createKey("HKEY_CURRENT_USER\\" + kKey);
    store.setValue("HKEY_CURRENT_USER\\" + kKey, RegistryValue{name, type, data});
}

TEST(RegistryApi, StringsRoundTripAndMissingItemsRaiseTheirErrors) {
    test::ScopedFakePlatform fake;
    EXPECT_EQ(raisedBy([] { ReadRegistryString(HKCU, kKey, kPrinter); }), 1000);
    EXPECT_EQ(raisedBy([] { WriteRegistryString(HKCU, kKey, kPrinter, "x"); }), 1000);
    AddRegistryKey(HKCU, kKey);
    AddRegistryKey(HKCU, kKey);  // an existing key is fine
    EXPECT_EQ(raisedBy([] { ReadRegistryString(HKCU, kKey, kPrinter); }), 1001);
    EXPECT_EQ(raisedBy([] { AddRegistryKey(HKCU, QStringLiteral("a\\\\b")); }), 1002);

    WriteRegistryString(HKCU, kKey, kPrinter, QString());
    EXPECT_EQ(ReadRegistryString(HKCU, kKey, kPrinter), QStringLiteral(" "));
    WriteRegistryString(HKCU, kKey, kPrinter, QStringLiteral("Büro Drucker"));
    EXPECT_EQ(ReadRegistryString(HKCU, kKey, kPrinter), QStringLiteral("Büro Drucker"));

    putValue(QStringLiteral("fits"), REG_SZ, QByteArray(1023, 'a') + '\0');
    putValue(QStringLiteral("long"), REG_SZ, QByteArray(1024, 'a') + '\0');
    EXPECT_EQ(ReadRegistryString(HKCU, kKey, QStringLiteral("fits")).size(), 1023);
    EXPECT_EQ(raisedBy([] { ReadRegistryString(HKCU, kKey, QStringLiteral("long")); }), 1001);
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(RegistryApi, EnsureWritesOnlyAMissingValueAndRaisesWhenItCannot) {
    test::ScopedFakePlatform fake;
    EnsureRegistryValue(HKCU, kKey, kPrinter, QStringLiteral(" "));
    EXPECT_EQ(ReadRegistryString(HKCU, kKey, kPrinter), QStringLiteral(" "));
    WriteRegistryString(HKCU, kKey, kPrinter, QStringLiteral("lp0"));
    EnsureRegistryValue(HKCU, kKey, kPrinter, QStringLiteral(" "));
    EXPECT_EQ(ReadRegistryString(HKCU, kKey, kPrinter), QStringLiteral("lp0"));

    EXPECT_TRUE(fake.messages.shown.empty());

    // A folder where the lock file belongs makes every write fail.
    const QString lockFile = platform().registryFile + QStringLiteral(".lock");
    ASSERT_TRUE(QFile::remove(lockFile) && QDir().mkpath(lockFile));
    EXPECT_EQ(raisedBy([] { EnsureRegistryValue(HKCU, kKey, QStringLiteral("New"), " "); }), 1001);
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
        EXPECT_EQ(raisedBy([] { EnsureRegistryValue(HKCU, kKey, kPrinter, " "); }), 1002);
        EXPECT_EQ(test::fileBytes(file), damaged);
    }
    EXPECT_THROW(RegistryStore(fake.dir.path()).keyExists("HKEY_CURRENT_USER"), RegistryStoreError);
}

}  // namespace
}  // namespace pbp
