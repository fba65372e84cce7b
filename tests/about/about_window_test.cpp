#include "about/frm_about.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

#include "about/link_label.h"
#include "resources/pictures.h"
#include "tests/common/fake_platform.h"

namespace pbp {
namespace {

// Runs `check` on the About window while Display() holds it open modally, then presses OK.
void whileShown(frmAbout& window, const std::function<void()>& check) {
    bool checked = false;
    QTimer::singleShot(0, &window, [&] {
        check();
        checked = true;
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    window.Display();
    EXPECT_TRUE(checked) << "Display() returned before the window was shown";
}

QString textOf(frmAbout& window, const char* name) {
    return window.findChild<QLabel*>(QString::fromLatin1(name))->text();
}

TEST(AboutWindow, ShowsTheStringTableTextsAndTheRunningBuild) {
    test::ScopedFakePlatform fake;
    frmAbout window;
    whileShown(window, [&] {
        EXPECT_EQ(QApplication::activeModalWidget(), &window);
        EXPECT_EQ(window.windowTitle(), QStringLiteral("About PlenBatchPrint"));
        EXPECT_EQ(textOf(window, "lblTitle"), QStringLiteral("PlenBatchPrint (Build 11.0.1088)"));
        EXPECT_EQ(textOf(window, "lblMarketingMessage1"),
                  QStringLiteral("For Visio consulting, custom development, and training visit"));
        EXPECT_EQ(textOf(window, "lblMarketingMessage2"),
                  QStringLiteral("For more Visio tools and shapes visit"));
        EXPECT_FALSE(textOf(window, "lblDescription").isEmpty());
        EXPECT_FALSE(textOf(window, "lblDisclaimer").isEmpty());
        EXPECT_EQ(window.findChild<QPushButton*>(QStringLiteral("cmdOK"))->text(),
                  QStringLiteral("OK"));
        EXPECT_FALSE(
            window.findChild<QLabel*>(QStringLiteral("pctAboutSplash"))->pixmap().isNull());
        EXPECT_FALSE(window.windowIcon().isNull());
    });
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(AboutWindow, LinksAreBlueHandsThatOpenTheirAddressAndKeepTheWindowOpen) {
    test::ScopedFakePlatform fake;
    frmAbout window;
    whileShown(window, [&] {
        const QCursor hand = LoadResCursor(1);
        for (const char* name : {"lblMarketingMessageLink1", "lblMarketingMessageLink2"}) {
            auto* link = window.findChild<LinkLabel*>(QString::fromLatin1(name));
            EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255)) << name;
            EXPECT_EQ(link->cursor().shape(), Qt::BitmapCursor) << name;
            EXPECT_EQ(link->cursor().hotSpot(), QPoint(0, 0)) << name;
            EXPECT_EQ(link->cursor().pixmap().toImage(), hand.pixmap().toImage()) << name;

            QTest::mouseClick(link, Qt::LeftButton);
            ASSERT_FALSE(fake.urls.opened.empty()) << name;
            EXPECT_EQ(fake.urls.opened.back(), QUrl(QStringLiteral("http://") + link->text()));
            EXPECT_TRUE(window.isVisible());
            EXPECT_EQ(QApplication::activeModalWidget(), &window);
        }
        QTest::mouseClick(window.findChild<QLabel*>(QStringLiteral("lblMarketingMessage1")),
                          Qt::LeftButton);
        EXPECT_EQ(fake.urls.opened.size(), 2u) << "only the links open addresses";
    });
}

}  // namespace
}  // namespace pbp
