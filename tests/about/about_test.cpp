#include "about/frm_about.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "about/link_label.h"
#include "support/widgets/set_icons.h"
#include "tests/common/fake_platform.h"

namespace pbp {
namespace {

// While Display() holds the window open modally: checks it, clicks both links and a plain
// label, then presses OK.
TEST(AboutWindow, ShowsTheBuildAndOpensOnlyTheLinksUntilOkIsPressed) {
    test::ScopedFakePlatform fake;
    frmAbout window;
    bool checked = false;
    QTimer::singleShot(0, &window, [&] {
        EXPECT_EQ(QApplication::activeModalWidget(), &window);
        EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("lblTitle"))->text(),
                  QStringLiteral("PlenBatchPrint (Build 11.0.1088)"));
        EXPECT_FALSE(
            window.findChild<QLabel*>(QStringLiteral("pctAboutSplash"))->pixmap().isNull());
        EXPECT_FALSE(window.windowIcon().isNull());
        std::vector<QUrl> expected;
        for (const char* name : {"lblMarketingMessageLink1", "lblMarketingMessageLink2"}) {
            auto* link = window.findChild<LinkLabel*>(QString::fromLatin1(name));
            EXPECT_EQ(link->cursor().shape(), Qt::BitmapCursor) << name;
            // The hand's hot spot is its fingertip.
            const QImage hand = link->cursor().pixmap().toImage();
            EXPECT_GT(qAlpha(hand.pixel(link->cursor().hotSpot())), 0) << name;
            QTest::mouseClick(link, Qt::LeftButton);
            expected.push_back(QUrl(QStringLiteral("http://") + link->text()));
            EXPECT_EQ(QApplication::activeModalWidget(), &window);
        }
        QTest::mouseClick(window.findChild<QLabel*>(QStringLiteral("lblMarketingMessage1")),
                          Qt::LeftButton);
        EXPECT_EQ(fake.urls.opened, expected) << "only the links open addresses";
        checked = true;
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    window.Display();
    EXPECT_TRUE(checked) << "Display() returned before the window was shown";
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_TRUE(fake.messages.shown.empty());
}

// The windows set their icons with the owner flag on: the owner and the task bar get it too.
TEST(SetIcon, TheOwnerAndTheApplicationGetTheIconAndAMissingOneIsReported) {
    test::ScopedFakePlatform fake;
    QApplication::setWindowIcon(QIcon());
    QMainWindow owner;
    QDialog dialog(&owner);
    SetIcon(&dialog, QStringLiteral("IDI_ICON1"), true);
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_EQ(owner.windowIcon().availableSizes(), dialog.windowIcon().availableSizes());
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    QApplication::setWindowIcon(QIcon());
    SetIcon(&dialog, QStringLiteral("NO_SUCH_ICON"), true);
    EXPECT_EQ(fake.messages.shown.size(), 1u);
}

}  // namespace
}  // namespace pbp
