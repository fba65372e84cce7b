#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

#include "support/file_collection.h"
#include "support/file_identity.h"

namespace pbp {

// Bounds of one drawing's reader; unset ones come from the environment or the settings store
// (printing/run/drawing_limits.h).
struct DrawingLimits {
    std::optional<int> timeLimitSeconds;
    std::optional<int> memoryLimitMiB;
};

// What one start asks the print run to do: the drawings and every choice that shapes their
// printing. Start-up builds it from the command line or a job file; the batch window takes its
// drawings and choices as the window's first state and prints from its own controls; a silent
// run prints it as it stands.
struct RunRequest {
    bool silent = false;
    FileCollection files = std::vector<FileItem>{};  // absent when a reader failed
    // The printer asked for; empty leaves the choice to the remembered, else the default one.
    QString printer;
    std::optional<int> copies;  // unset: the window's count, or the printer's own for a silent run
    bool firstPageOnly = false;
    std::optional<QString> summaryHeader;   // set: print the summary page; empty keeps the header
    QMap<QString, QString> printerOptions;  // -o NAME=VALUE, over the choices kept per printer
    DrawingLimits limits;
    QString outputPdf;  // --output: every sheet of the run into this one PDF; empty for none
    // The job file that asked to be deleted once its drawings are printed (empty when none did),
    // and that file as it was read: it is deleted only while it is still that file.
    QString jobFileToDelete;
    FileIdentity jobFileIdentity;

    // The drawings' paths in list order.
    QStringList paths() const;
};

}  // namespace pbp
