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

std::optional<QString> RememberedPrinters::offeredMedia(const QString& printerName,
                                                        const QPageSize& paper) const {
    const QString key = printerName + QLatin1Char('\n') + paper.key();
    auto found = media_.constFind(key);
    if (found == media_.constEnd())
        found = media_.insert(key, system_.offeredMedia(printerName, paper));
    return *found;
}

}  // namespace pbp::visio
