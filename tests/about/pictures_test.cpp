#include "resources/pictures.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMainWindow>

#include "support/vb_error.h"
#include "support/widgets/set_icons.h"
#include "tests/common/fake_platform.h"

namespace pbp {
namespace {

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

TEST(SetIcon, OwnerFlagDecidesWhetherTheOwnerAndApplicationChange) {
    test::ScopedFakePlatform fake;
    QApplication::setWindowIcon(QIcon());
    QMainWindow owner;
    QDialog dialog(&owner);
    SetIcon(&dialog, QStringLiteral("IDI_ICON1"), false);
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_TRUE(QApplication::windowIcon().isNull());
    SetIcon(&dialog, QStringLiteral("IDI_ICON1"), true);
    EXPECT_EQ(owner.windowIcon().availableSizes(), dialog.windowIcon().availableSizes());
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    QApplication::setWindowIcon(QIcon());
    SetIcon(&dialog, QStringLiteral("NO_SUCH_ICON"), true);
    EXPECT_EQ(fake.messages.shown.size(), 1u);
}

}  // namespace
}  // namespace pbp
