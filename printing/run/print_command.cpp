#include "printing/run/print_command.h"

#include "support/error_handling.h"
#include "support/platform.h"
#include "support/program_state.h"

namespace pbp {

namespace {
const QString kModule = QStringLiteral("frmPlenPrintBatch");

// Leading numeric part of the copies text, as VB's Val() reads it; 0 when there is none.
long leadingNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    int end = 0;
    while (end < trimmed.size() && trimmed.at(end).isDigit()) ++end;
    return end == 0 ? 0 : trimmed.left(end).toLong();
}
}  // namespace

bool CanPrint(BatchPrintView& view) {
    bool result = true;
    Guarded(kModule, QStringLiteral("CanPrint"), [&] {
        if (view.rowCount() - 1 == 0) {
            platform().messages->show(g_sAppTitle,
                                      QStringLiteral("There are no documents selected to print."),
                                      MessageIcon::Information);
            result = false;
        } else if (leadingNumber(view.copiesText()) == 0) {
            platform().messages->show(
                g_sAppTitle, QStringLiteral("There must be at least one copy to print."),
                MessageIcon::Information);
            result = false;
        }
    });
    return result;
}

void cmdPrint_Click(BatchPrintView& view) {
    view.setPrintAndCloseEnabled(false);
    Guarded(kModule, QStringLiteral("cmdPrint_Click"), [&] { CanPrint(view); });
    view.setPrintAndCloseEnabled(true);
}

}  // namespace pbp
