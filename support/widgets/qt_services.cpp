#include "support/widgets/qt_services.h"

#include <unistd.h>
#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <cstdio>

#include "support/standard_error_messages.h"

namespace pbp {

void QtMessageService::show(const QString& title, const QString& text, MessageIcon icon) {
    if (isHeadless()) {
        StandardErrorMessages().show(title, text, icon);
        return;
    }
    QMessageBox::Icon qtIcon = QMessageBox::Information;
    if (icon == MessageIcon::Exclamation) qtIcon = QMessageBox::Warning;
    if (icon == MessageIcon::Critical) qtIcon = QMessageBox::Critical;
    QMessageBox box(qtIcon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool QtMessageService::ask(const QString& title, const QString& text) {
    if (isHeadless()) return true;
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtMessageService::beep() {
    QApplication::beep();
}

bool QtUrlOpener::open(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

void QtProcessEnder::endProcess(int exitCode) {
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(exitCode);
}

}  // namespace pbp
