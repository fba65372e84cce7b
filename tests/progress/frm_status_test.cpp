#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>

#include "progress/frm_status.h"
#include "progress/picture_box.h"
#include "tests/common/fake_platform.h"

namespace pbp {
namespace {

TEST(frmStatus, ShowsAnOwnedWindowThatDoesNotBlockAndSetsTheCaptionBeforeTheBar) {
    test::ScopedFakePlatform fake;
    QWidget owner;
    owner.show();
    frmStatus status(&owner);
    status.Display();
    EXPECT_TRUE(status.isVisible() && status.isWindow() && status.parentWidget() == &owner);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // The bar's canvas holds whole cells: a gap before, between and after them.
    const CProgress& bar = *status.progress();
    EXPECT_EQ(bar.gap() + bar.cellCount() * (bar.cellWidth() + bar.gap()),
              status.findChild<PictureBox*>(QStringLiteral("picStatus"))->scaleWidth());

    auto* label = status.findChild<QLabel*>(QStringLiteral("lblStatus"));
    QStringList captionsWhileDrawing;
    QObject::connect(status.findChild<PictureBox*>(QStringLiteral("picStatus")), &PictureBox::drawn,
                     [&] { captionsWhileDrawing << label->text(); });
    status.Value(QStringLiteral("Opening /srv/plans/a b.vsd"), 50);
    ASSERT_FALSE(captionsWhileDrawing.isEmpty());
    EXPECT_EQ(captionsWhileDrawing.first(), QStringLiteral("Opening /srv/plans/a b.vsd"));
}

}  // namespace
}  // namespace pbp
