#include <QAbstractButton>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>

#include "progress/frm_status.h"
#include "progress/picture_box.h"
#include "tests/batch_window/window_fixture.h"

namespace pbp {
namespace {

using Layout = test::WindowTest;

// Saves the window's picture beside the tests, named after the scale, for people to look at.
void saveScreenshot(QWidget& window, const QString& name) {
    const QString folder = QStringLiteral(PLEN_TEST_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    const int percent = qRound(window.devicePixelRatioF() * 100);
    EXPECT_TRUE(window.grab().save(QStringLiteral("%1/%2-%3.png").arg(folder, name).arg(percent)));
}

// Every label, button and frame caption of the window fits into its widget, no label's text is
// hidden under a sibling control, and where a label's box reaches under another control, that
// control takes the clicks.
void expectEveryTextWholeAndClickable(QWidget& window) {
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(&window) || button->text().isEmpty()) continue;
        const std::string name = button->objectName().toStdString();
        EXPECT_LE(button->sizeHint().width(), button->width()) << name;
        EXPECT_LE(button->fontMetrics().height(), button->height()) << name;
    }
    for (QGroupBox* frame : window.findChildren<QGroupBox*>())
        EXPECT_LE(frame->fontMetrics().horizontalAdvance(frame->title()) + 20, frame->width());
    for (QLabel* label : window.findChildren<QLabel*>()) {
        const std::string name = label->objectName().toStdString();
        const bool hasText = label->isVisibleTo(&window) && !label->text().isEmpty();
        const QSize textSize = label->fontMetrics().size(Qt::TextShowMnemonic, label->text());
        if (hasText && !label->wordWrap()) {
            EXPECT_LE(textSize.width(), label->contentsRect().width()) << name;
            EXPECT_LE(textSize.height(), label->contentsRect().height()) << name;
        }
        const QRect text = QStyle::alignedRect(label->layoutDirection(), label->alignment(),
                                               textSize, label->geometry());
        for (QObject* other : label->parentWidget()->children()) {
            auto* sibling = qobject_cast<QWidget*>(other);
            if (!sibling || sibling == label || !sibling->isVisibleTo(&window)) continue;
            EXPECT_FALSE(hasText && sibling->geometry().intersects(text))
                << name << " under " << sibling->objectName().toStdString();
            const QRect shared = sibling->geometry() & label->geometry();
            if (!qobject_cast<QLabel*>(sibling) && !shared.isEmpty()) {
                EXPECT_NE(label->parentWidget()->childAt(shared.center()), label)
                    << name << " over " << sibling->objectName().toStdString();
            }
        }
    }
}

TEST_F(Layout, TheBatchWindowShowsEveryTextWhole) {
    displayPaths(
        {QStringLiteral("/home/someone/Projects/2024 Extension of the north wing/"
                        "Drawings/Electrical/ground floor lighting plan.vsdx")});
    QCoreApplication::processEvents();
    saveScreenshot(*window, QStringLiteral("batch-window"));
    expectEveryTextWholeAndClickable(*window);
}

// The status window belongs to the batch window without blocking it; each caption is shown
// before the bar is drawn, and a long one keeps its end in view beside the whole title.
TEST_F(Layout, TheStatusWindowShowsItsTitleAndTheEndOfALongPathWithoutBlocking) {
    displayPaths({});
    frmStatus status(window.get());
    status.Display();
    EXPECT_TRUE(status.isWindow() && status.parentWidget() == window.get());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    auto* canvas = status.findChild<PictureBox*>(QStringLiteral("picStatus"));
    const auto* label = status.findChild<QLabel*>(QStringLiteral("lblStatus"));
    QStringList captionsWhileDrawing;
    QObject::connect(canvas, &PictureBox::drawn, [&] { captionsWhileDrawing << label->text(); });
    status.Value(QStringLiteral("Opening /home/someone/Projects/2024 Extension of the north wing/"
                                "Drawings/Electrical/Lighting and emergency circuits/Revision 7 "
                                "issued for construction/Checked by the site office in March/"
                                "Approved copies/ground floor lighting plan.vsdx (12 of 30)"),
                 40);
    ASSERT_FALSE(captionsWhileDrawing.isEmpty());
    EXPECT_EQ(captionsWhileDrawing.first(), label->text());
    QCoreApplication::processEvents();
    saveScreenshot(status, QStringLiteral("status-window"));
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("Opening /home/")));
    EXPECT_TRUE(label->text().endsWith(QStringLiteral("lighting plan.vsdx (12 of 30)")));
    EXPECT_LE(label->fontMetrics()
                  .boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text())
                  .height(),
              label->contentsRect().height());
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    EXPECT_GE(status.width(), QFontMetrics(titleFont).horizontalAdvance(status.windowTitle()) + 100)
        << "room for the whole title beside the title bar's icon and buttons";
    expectEveryTextWholeAndClickable(status);
    const auto* cancel = status.findChild<QPushButton*>(QStringLiteral("cmdCancel"));
    EXPECT_TRUE(status.rect().contains(cancel->geometry()));
    EXPECT_FALSE(cancel->geometry().intersects(canvas->geometry()));
}

}  // namespace
}  // namespace pbp
