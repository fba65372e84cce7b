#include "startup/mod_main.h"

#include "startup/spaces.h"
#include "support/error_handling.h"
#include "support/file_operations.h"
#include "support/platform.h"
#include "support/program_state.h"

namespace pbp {

QString g_sHelpFile;

QString HelpFileInFolder(const QString& folder) {
    return PathInFolder(folder, QStringLiteral("PlenPrint.hlp"));
}

void Main(const QString& commandLine, const std::function<void(FileCollection&)>& display) {
    Guarded(QStringLiteral("modMain"), QStringLiteral("Main"), [&] {
        FileCollection cFiles = std::vector<FileItem>{};
        if (!commandLine.isEmpty()) {
            QString working = TrimSpaces(commandLine).toString();
            g_bSilentMode = GetSilentOptionFromCommandLine(working);
            g_sSelectedPrinter = GetPrinterOptionFromCommandLine(working);
            const QString job = GetDataFileFromCommandLine(working);
            if (job.isEmpty()) {
                cFiles = GetFilesFromCommandLine(working);
            } else {
                cFiles = GetFilesFromXMLDataFile(job);
                if (!cFiles || cFiles->empty()) cFiles = GetFilesFromCSVDataFile(job);
            }
        }
        g_sHelpFile = HelpFileInFolder(platform().programFolder);
        display(cFiles);
    });
}

}  // namespace pbp
