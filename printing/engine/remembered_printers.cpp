#include "printing/engine/remembered_printers.h"

namespace pbp::visio {

QStringList RememberedPrinters::printerNames() const {
    if (!names_) names_ = system_.printerNames();
    return *names_;
}

QPageSize RememberedPrinters::defaultPaper(const QString& printerName) const {
    auto found = papers_.constFind(printerName);
    if (found == papers_.constEnd())
        found = papers_.insert(printerName, system_.defaultPaper(printerName));
    return *found;
}

}  // namespace pbp::visio
