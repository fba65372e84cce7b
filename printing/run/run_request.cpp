#include "printing/run/run_request.h"

namespace pbp {

QStringList RunRequest::paths() const {
    QStringList paths;
    if (!files) return paths;
    for (const FileItem& item : *files) {
        if (const auto* entry = std::get_if<cPrintFile>(&item))
            paths << entry->FileName;
        else
            paths << std::get<QString>(item);
    }
    return paths;
}

}  // namespace pbp
