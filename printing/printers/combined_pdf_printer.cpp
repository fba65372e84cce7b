#include "printing/printers/combined_pdf_printer.h"

namespace pbp::printers {

void CombinedPdfPrinter::collect(const QString& path) {
    combined_ = std::make_unique<CombinedPdf>();
    path_ = path;
}

void CombinedPdfPrinter::finish() {
    const std::unique_ptr<CombinedPdf> combined = std::move(combined_);
    if (combined) combined->write(path_);
}

void CombinedPdfPrinter::submit(const PrintJob& job) {
    if (combined_)
        combined_->append(job.pdf, job.title, job.sheetNames);
    else
        system_.submit(job);
}

}  // namespace pbp::printers
