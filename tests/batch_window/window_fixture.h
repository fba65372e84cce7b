#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "printing/run/print_services.h"
#include "support/mod_registry_api.h"
#include "tests/common/fake_file_dialogs.h"
#include "tests/common/fake_platform.h"
#include "tests/common/fake_printers.h"

namespace pbp::test {

// The printer the window saved for the next start.
inline QString savedPrinter() {
    return ReadRegistryString(HKEY_CURRENT_USER, kSettingsKey, QStringLiteral("DefaultPrinter"));
}

// A fresh program state with fake platform pieces and a batch window not yet displayed.
class WindowTest : public ::testing::Test {
  protected:
    WindowTest() {
        printers.names = {QStringLiteral("Zeta"), QStringLiteral("alpha"),
                          printers::kPdfPrinterName};
        printers.defaultName.clear();
        fake.get().fileDialogs = &dialogs;
        window = std::make_unique<frmPlenPrintBatch>();
    }

    void display(std::vector<FileItem> items, const QString& printer = {}) {
        window->Display({.files = std::move(items), .printer = printer});
    }
    void displayPaths(const QStringList& paths, const QString& printer = {}) {
        display(std::vector<FileItem>(paths.begin(), paths.end()), printer);
    }

    template <class T = QWidget>
    T* control(const char* name) {
        T* found = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    FileListGrid* grid() { return control<FileListGrid>("fgListOfFiles"); }
    QAbstractButton* button(const char* name) { return control<QAbstractButton>(name); }
    QComboBox* printerBox() { return control<QComboBox>("cboSelectedPrinter"); }
    QStringList paths() {
        QStringList result;
        for (int row = 1; row < grid()->rows(); ++row) result << grid()->textMatrix(row, 0);
        return result;
    }
    // Clicks list row `row` (1-based) in the grid with the given keys held.
    void clickRow(int row, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        const QRect cell = grid()->visualRect(grid()->model()->index(row - 1, 0));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, keys, cell.center());
    }

    ScopedFakePlatform fake;
    FakePrinters printers;
    ScopedPrintServices services{{&printers}};
    FakeFileDialogService dialogs;
    std::unique_ptr<frmPlenPrintBatch> window;
};

}  // namespace pbp::test
