#include "printing/printers/cups_printer_system.h"

#include <cups/cups.h>

#include <QDir>
#include <QSizeF>
#include <memory>
#include <optional>

#include "printing/printers/pdf_folder_printer.h"
#include "support/vb_error.h"

namespace pbp::printers {

namespace {

// Owns a list of destinations from libcups.
struct DestList {
    int count = 0;
    cups_dest_t* dests = nullptr;
    ~DestList() { cupsFreeDests(count, dests); }
};

struct DestDeleter {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using DestPtr = std::unique_ptr<cups_dest_t, DestDeleter>;

struct DestInfoDeleter {
    void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};

DestPtr namedDest(const QString& name) {
    return DestPtr(cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.toUtf8().constData(), nullptr));
}

using DestInfoPtr = std::unique_ptr<cups_dinfo_t, DestInfoDeleter>;

// libcups gives hundredths of millimetres; a fuzzy match turns them into the named size.
std::optional<QPageSize> pageSize(int width, int length) {
    if (width <= 0 || length <= 0) return std::nullopt;
    const QPageSize page(QSizeF(width / 100.0, length / 100.0), QPageSize::Millimeter, QString(),
                         QPageSize::FuzzyMatch);
    return page.isValid() ? std::optional<QPageSize>(page) : std::nullopt;
}

// The queue's default media as libcups reports it (the media-default attribute or the PPD).
// A raw queue whose default paper is only its "media" option (lpadmin -o media-default=...)
// reports none there; the option then names it.
std::optional<QPageSize> queueMediaDefault(const QString& name) {
    DestPtr dest = namedDest(name);
    if (!dest) return std::nullopt;
    DestInfoPtr info(cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get()));
    cups_size_t size{};
    if (info && cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest.get(), info.get(), 0, &size))
        if (std::optional<QPageSize> page = pageSize(size.width, size.length)) return page;
    const char* option = cupsGetOption("media", dest->num_options, dest->options);
    const pwg_media_t* media = option ? pwgMediaForPWG(option) : nullptr;
    if (!media && option) media = pwgMediaForPPD(option);
    return media ? pageSize(media->width, media->length) : std::nullopt;
}

// An attribute's values as the text lp -o takes: keywords as they are, enums by their keyword.
QStringList attributeValues(ipp_attribute_t* attribute, const char* name) {
    QStringList values;
    for (int i = 0; attribute && i < ippGetCount(attribute); ++i) {
        const ipp_tag_t tag = ippGetValueTag(attribute);
        const char* text = tag == IPP_TAG_ENUM ? ippEnumString(name, ippGetInteger(attribute, i))
                                               : ippGetString(attribute, i, nullptr);
        if (text && !values.contains(QString::fromUtf8(text))) values << QString::fromUtf8(text);
    }
    return values;
}

}  // namespace

QStringList CupsPrinterSystem::printerNames() const {
    QStringList names;
    DestList list;
    list.count = cupsGetDests2(CUPS_HTTP_DEFAULT, &list.dests);
    for (int i = 0; i < list.count; ++i) {
        const cups_dest_t& dest = list.dests[i];
        if (dest.instance) continue;  // an instance is a set of options, not another printer
        names << QString::fromUtf8(dest.name);
    }
    names << kPdfPrinterName;
    return names;
}

PrinterDescription CupsPrinterSystem::describe(const QString& printerName) const {
    PrinterDescription result;
    if (printerName == kPdfPrinterName) {
        result.description = QStringLiteral("Saves each drawing as a PDF file in %1")
                                 .arg(QDir::toNativeSeparators(pdfOutputFolder()));
        return result;
    }
    DestPtr dest = namedDest(printerName);
    if (!dest) {
        result.state = QStringLiteral("Not available");
        result.ready = false;
        return result;
    }
    const auto option = [&](const char* name) {
        return QString::fromUtf8(cupsGetOption(name, dest->num_options, dest->options));
    };
    result.description = option("printer-info");
    result.location = option("printer-location");
    // IPP printer-state: 3 idle, 4 processing, 5 stopped.
    const int state = option("printer-state").toInt();
    result.state = state == 5   ? QStringLiteral("Stopped")
                   : state == 4 ? QStringLiteral("Printing")
                                : QStringLiteral("Idle");
    const bool accepting = option("printer-is-accepting-jobs") != QLatin1String("false");
    if (!accepting) result.state += QStringLiteral(", rejecting jobs");
    const QString message = option("printer-state-message");
    if (!message.isEmpty()) result.state += QStringLiteral(" (") + message + u')';
    result.ready = state != 5 && accepting;
    return result;
}

QString CupsPrinterSystem::defaultPrinter() const {
    DestPtr dest(cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr));
    return dest ? QString::fromUtf8(dest->name) : QString();
}

QPageSize CupsPrinterSystem::defaultPaper(const QString& printerName) const {
    if (printerName == kPdfPrinterName) return pdfPrinterPaper();
    return queueMediaDefault(printerName).value_or(QPageSize(QPageSize::A4));
}

std::optional<QString> CupsPrinterSystem::offeredMedia(const QString& printerName,
                                                       const QPageSize& paper) const {
    if (printerName == kPdfPrinterName) return QString();
    DestPtr dest = namedDest(printerName);
    if (!dest) return std::nullopt;
    DestInfoPtr info(cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get()));
    if (!info) return std::nullopt;
    const QSizeF mm = paper.size(QPageSize::Millimeter);
    cups_size_t size{};
    if (!cupsGetDestMediaBySize(CUPS_HTTP_DEFAULT, dest.get(), info.get(), qRound(mm.width() * 100),
                                qRound(mm.height() * 100), CUPS_MEDIA_FLAGS_DEFAULT, &size))
        return std::nullopt;
    return QString::fromUtf8(size.media);
}

std::vector<PrinterOption> CupsPrinterSystem::options(const QString& printerName) const {
    if (printerName == kPdfPrinterName) return pdfPrinterOptions();
    DestPtr dest = namedDest(printerName);
    if (!dest) return {};
    DestInfoPtr info(cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get()));
    if (!info) return {};
    std::vector<PrinterOption> result;
    for (const char* name :
         {"media", "media-source", "sides", "print-color-mode", "print-quality"}) {
        PrinterOption option{QString::fromLatin1(name)};
        option.choices = attributeValues(
            cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest.get(), info.get(), name), name);
        if (option.choices.size() < 2) continue;  // nothing to choose
        const QStringList defaults = attributeValues(
            cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest.get(), info.get(), name), name);
        option.defaultChoice = defaults.value(0);
        result.push_back(option);
    }
    return result;
}

bool CupsPrinterSystem::makesCopies(const QString& printerName) const {
    return printerName != kPdfPrinterName;
}

void CupsPrinterSystem::submit(const PrintJob& job) {
    if (job.printerName == kPdfPrinterName) {
        lastPdfFile_ = savePdfInFolder(job.pdf, job.title, pdfOutputFolder());
        return;
    }
    const DestPtr dest = namedDest(job.printerName);
    if (!dest) {
        // libcups would only say "No such file or directory" for a queue that is gone.
        throw VbError(cupsLastError(),
                      QStringLiteral("The printer \"%1\" is not available: %2")
                          .arg(job.printerName, QString::fromUtf8(cupsLastErrorString())));
    }
    const QByteArray printer = job.printerName.toUtf8();
    const QByteArray title = job.title.toUtf8();

    int optionCount = 0;
    cups_option_t* options = nullptr;
    if (job.copies > 0)
        optionCount = cupsAddOption("copies", QByteArray::number(job.copies).constData(),
                                    optionCount, &options);
    optionCount = cupsAddOption("multiple-document-handling",
                                "separate-documents-uncollated-copies", optionCount, &options);
    if (!job.media.isEmpty())
        optionCount = cupsAddOption("media", job.media.toUtf8().constData(), optionCount, &options);
    for (auto chosen = job.options.cbegin(); chosen != job.options.cend(); ++chosen)
        optionCount = cupsAddOption(chosen.key().toUtf8().constData(),
                                    chosen.value().toUtf8().constData(), optionCount, &options);
    for (int i = 0; i < dest->num_options; ++i) {
        const cups_option_t& option = dest->options[i];
        if (!cupsGetOption(option.name, optionCount, options))
            optionCount = cupsAddOption(option.name, option.value, optionCount, &options);
    }
    const int jobId = cupsCreateJob(CUPS_HTTP_DEFAULT, printer.constData(), title.constData(),
                                    optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (jobId <= 0) throw VbError(cupsLastError(), QString::fromUtf8(cupsLastErrorString()));

    // The document goes to the scheduler from memory as the job's one document; a started
    // document is always finished, whatever writing it gave.
    bool sent = cupsStartDocument(CUPS_HTTP_DEFAULT, printer.constData(), jobId, title.constData(),
                                  CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE;
    if (sent) {
        const bool written = cupsWriteRequestData(CUPS_HTTP_DEFAULT, job.pdf.constData(),
                                                  size_t(job.pdf.size())) == HTTP_STATUS_CONTINUE;
        const bool finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, printer.constData()) <=
                              IPP_STATUS_OK_EVENTS_COMPLETE;
        sent = written && finished;
    }
    if (sent) return;
    const VbError refused(cupsLastError(), QString::fromUtf8(cupsLastErrorString()));
    cupsCancelJob2(CUPS_HTTP_DEFAULT, printer.constData(), jobId, 0);
    throw refused;
}

}  // namespace pbp::printers
