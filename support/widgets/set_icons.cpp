#include "support/widgets/set_icons.h"

#include <QApplication>
#include <QWidget>

#include "resources/pictures.h"
#include "support/error_handling.h"

namespace pbp {

void SetIcon(QWidget* window, const QString& iconResourceName, bool setOwnerIcons) {
    Guarded(QStringLiteral("modSetIcons"), QStringLiteral("SetIcon"), [&] {
        if (!window) throw ObjectNotSetError();
        const QIcon icon = LoadResIcon(iconResourceName);
        if (setOwnerIcons) {
            QWidget* top = window;
            while (top->parentWidget()) top = top->parentWidget();
            top->setWindowIcon(icon);
            QApplication::setWindowIcon(icon);
        }
        window->setWindowIcon(icon);
    });
}

}  // namespace pbp
