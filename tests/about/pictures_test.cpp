#include "resources/pictures.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMainWindow>

#include "support/set_icons.h"
#include "support/vb_error.h"
#include "support/win_api.h"
#include "tests/common/fake_platform.h"

namespace pbp {
namespace {

TEST(Pictures, EveryResourceTheWindowsUseIsThere) {
    for (int id : {101, 112, 115}) EXPECT_FALSE(LoadResPicture(id).isNull()) << id;
    const QIcon icon = LoadResIcon(QStringLiteral("IDI_ICON1"));
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));

    const QCursor hand = LoadResCursor(1);
    EXPECT_EQ(hand.pixmap().size(), QSize(32, 32));
    EXPECT_EQ(hand.hotSpot(), QPoint(0, 0));
    EXPECT_GT(qAlpha(hand.pixmap().toImage().pixel(0, 0)), 0) << "the hot spot is the fingertip";
}

TEST(Pictures, UnknownResourcesThrowResourceNotFound) {
    for (auto load : {+[] { LoadResPicture(999); }, +[] { LoadResIcon(QStringLiteral("NOPE")); },
                      +[] { LoadResIcon(QString()); }, +[] { LoadResCursor(2); }}) {
        try {
            load();
            ADD_FAILURE() << "an unknown resource loaded";
        } catch (const VbError& error) {
            EXPECT_EQ(error.number(), 326);
        }
    }
}

TEST(SetIcon, OwnerFlagDecidesWhetherTheOwnerAndApplicationChange) {
    test::ScopedFakePlatform fake;
    QApplication::setWindowIcon(QIcon());
    QMainWindow owner;
    QDialog dialog(&owner);

    SetIcon(&dialog, QStringLiteral("IDI_ICON1"), false);
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_TRUE(QApplication::windowIcon().isNull());
    EXPECT_TRUE(owner.windowIcon().cacheKey() != dialog.windowIcon().cacheKey());

    SetIcon(&dialog, QStringLiteral("IDI_ICON1"), true);
    EXPECT_EQ(owner.windowIcon().availableSizes(), dialog.windowIcon().availableSizes());
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    QApplication::setWindowIcon(QIcon());

    SetIcon(&dialog, QStringLiteral("NO_SUCH_ICON"), true);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(
        fake.messages.shown[0].text.startsWith(QStringLiteral("Problem in modSetIcons.SetIcon")));
}

class FailingUrlOpener : public UrlOpener {
  public:
    bool open(const QUrl&) override { return false; }
};

TEST(ShellOpen, HandsAddressesAndPathsToTheDesktopAndAnswersLikeTheShell) {
    test::ScopedFakePlatform fake;
    EXPECT_GT(ShellOpen(QStringLiteral("http://www.plenbatchprint.org")), 32);
    EXPECT_GT(ShellOpen(QStringLiteral("/opt/PlenBatchPrint/PlenBatchPrintHelp.html")), 32);
    ASSERT_EQ(fake.urls.opened.size(), 2u);
    EXPECT_EQ(fake.urls.opened[0], QUrl(QStringLiteral("http://www.plenbatchprint.org")));
    EXPECT_EQ(fake.urls.opened[1],
              QUrl::fromLocalFile(QStringLiteral("/opt/PlenBatchPrint/PlenBatchPrintHelp.html")));

    EXPECT_LE(ShellOpen(QString()), 32);
    FailingUrlOpener failing;
    fake.get().urls = &failing;
    EXPECT_LE(ShellOpen(QStringLiteral("http://example.org")), 32);
}

TEST(HelpFile, LiesNextToTheProgram) {
    QFile help(QStringLiteral(PLEN_TEST_BINARY_DIR "/app/PlenBatchPrintHelp.html"));
    ASSERT_TRUE(help.open(QIODevice::ReadOnly)) << "the build did not copy the help file";
    EXPECT_TRUE(help.readAll().contains("<title>PlenBatchPrint Help</title>"));
}

}  // namespace
}  // namespace pbp
