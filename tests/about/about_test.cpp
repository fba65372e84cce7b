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
#include "resources/pictures.h"
#include "support/vb_error.h"
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

TEST(Pictures, EveryResourceTheWindowsUseIsThereAndUnknownOnesRaise) {
    for (int id : {101, 112, 115}) EXPECT_FALSE(LoadResPicture(id).isNull()) << id;
    EXPECT_EQ(LoadResIcon(QStringLiteral("IDI_ICON1")).availableSizes(),
              (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
    const QCursor hand = LoadResCursor(1);
    EXPECT_EQ(hand.hotSpot(), QPoint(0, 0));
    EXPECT_GT(qAlpha(hand.pixmap().toImage().pixel(0, 0)), 0) << "the hot spot is the fingertip";
    for (auto load :
         {+[] { LoadResPicture(999); }, +[] { LoadResIcon(QString()); }, +[] { LoadResCursor(2); }})
        EXPECT_THROW(load(), VbError);
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
