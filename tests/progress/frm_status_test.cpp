#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>

#include "progress/frm_status.h"
#include "progress/picture_box.h"
#include "tests/common/fake_platform.h"

namespace pbp {
namespace {

TEST(frmStatus, DisplayShowsAnOwnedWindowThatDoesNotBlock) {
    test::ScopedFakePlatform fake;
    QWidget owner;
    owner.show();
    frmStatus status(&owner);
    status.Display();
    EXPECT_TRUE(status.isVisible() && status.isWindow());
    EXPECT_EQ(status.parentWidget(), &owner);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(status.windowTitle(), QStringLiteral("PlenPrint - Batch Printing Status"));
    EXPECT_EQ(status.size(), QSize(305, 81));
    EXPECT_EQ(status.progress()->cellCount(), 31);
}

TEST(frmStatus, ValueSetsTheCaptionBeforeTheBar) {
    test::ScopedFakePlatform fake;
    frmStatus status(nullptr);
    status.Display();
    auto* label = status.findChild<QLabel*>(QStringLiteral("lblStatus"));
    auto* canvas = status.findChild<PictureBox*>(QStringLiteral("picStatus"));
    ASSERT_TRUE(label && canvas);
    QStringList captionsWhileDrawing;
    QObject::connect(canvas, &PictureBox::drawn, [&] { captionsWhileDrawing << label->text(); });
    status.Value(QStringLiteral("Opening /srv/plans/a b.vsd"), 250);
    ASSERT_FALSE(captionsWhileDrawing.isEmpty());
    EXPECT_EQ(captionsWhileDrawing.first(), QStringLiteral("Opening /srv/plans/a b.vsd"));
    EXPECT_EQ(status.progress()->Value(), 100);
}

}  // namespace
}  // namespace pbp
