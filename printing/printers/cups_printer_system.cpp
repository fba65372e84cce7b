#include "printing/printers/cups_printer_system.h"

#include <cups/cups.h>
#include <sys/socket.h>

#include <QDir>
#include <QFileInfo>
#include <QSizeF>
#include <QTemporaryFile>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>

#include "printing/printers/pdf_folder_printer.h"
#include "support/vb_error.h"

namespace pbp::printers {

// A connection to the print scheduler for one call of the printer system. It connects within
// the deadline, and the call gets the deadline as a whole: a watchdog shuts the connection's
// socket down once it has passed, since libcups waits a minute for each answer (several times
// per request) and not every wait honours httpSetTimeout. A scheduler that cannot be reached
// or did not answer is recorded, and for a while later connections give up at once.
class SchedulerConnection {
  public:
    explicit SchedulerConnection(const CupsPrinterSystem& system) : system_(system) {
        server_ = QString::fromUtf8(cupsServer());
        {
            const std::lock_guard lock(system_.mutex_);
            if (!system_.problem_.isEmpty() && system_.problemServer_ == server_ &&
                std::chrono::steady_clock::now() < system_.retryAfter_)
                return;
        }
        const int deadlineMs = int(std::chrono::milliseconds(system_.deadline_).count());
        http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                             deadlineMs, nullptr);
        if (!http_) {
            record(QStringLiteral("the print scheduler at %1 cannot be reached: %2")
                       .arg(server_, whyNotConnected()));
            return;
        }
        httpSetTimeout(http_, double(system_.deadline_.count()), &SchedulerConnection::timedOut,
                       this);
        watchdog_ = std::thread([this] { watch(); });
        const std::lock_guard lock(system_.mutex_);
        if (system_.problemServer_ == server_) system_.problem_.clear();
    }
    ~SchedulerConnection() {
        if (watchdog_.joinable()) {
            {
                const std::lock_guard lock(watchMutex_);
                done_ = true;
            }
            doneChanged_.notify_one();
            watchdog_.join();
        }
        httpClose(http_);
    }
    SchedulerConnection(const SchedulerConnection&) = delete;
    SchedulerConnection& operator=(const SchedulerConnection&) = delete;

    // The connection for libcups; null when the scheduler is known to be gone.
    http_t* http() const { return http_; }

    // True when the last request waited in vain; the scheduler is then recorded as not
    // answering.
    bool gaveUp() {
        if (!timedOut_) return false;
        record(QStringLiteral("the print scheduler at %1 does not answer (waited %2 s)")
                   .arg(server_)
                   .arg(system_.deadline_.count()));
        return true;
    }

    // What is recorded against the scheduler; empty when it answered.
    QString problem() const {
        const std::lock_guard lock(system_.mutex_);
        return system_.problemServer_ == server_ ? system_.problem_ : QString();
    }

  private:
    // libcups says "Host is down" even for a local socket that is not there.
    QString whyNotConnected() const {
        if (!server_.startsWith(QLatin1Char('/'))) return QString::fromUtf8(cupsLastErrorString());
        const int error = QFileInfo::exists(server_) ? ECONNREFUSED : ENOENT;
        return QString::fromLocal8Bit(std::strerror(error));
    }

    static int timedOut(http_t*, void* connection) {
        static_cast<SchedulerConnection*>(connection)->timedOut_ = true;
        return 0;  // stop waiting
    }

    // Once the deadline has passed, shuts the socket down (again after any reconnection
    // libcups makes) until the call is over, so that every wait of libcups ends.
    void watch() {
        std::unique_lock lock(watchMutex_);
        if (doneChanged_.wait_for(lock, system_.deadline_, [this] { return done_; })) return;
        timedOut_ = true;
        do {
            ::shutdown(httpGetFd(http_), SHUT_RDWR);
        } while (
            !doneChanged_.wait_for(lock, std::chrono::milliseconds(50), [this] { return done_; }));
    }

    void record(const QString& problem) {
        const std::lock_guard lock(system_.mutex_);
        system_.problem_ = problem;
        system_.problemServer_ = server_;
        system_.retryAfter_ = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    }

    const CupsPrinterSystem& system_;
    QString server_;
    http_t* http_ = nullptr;
    std::atomic<bool> timedOut_ = false;
    std::thread watchdog_;
    std::mutex watchMutex_;
    std::condition_variable doneChanged_;
    bool done_ = false;
};

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

// "QUEUE/INSTANCE" names an lpoptions instance of QUEUE, as lp -d does; queue names cannot
// hold "/". The destination is looked up in the list cupsGetDests2 gives rather than with
// cupsGetNamedDest, which asks for the default printer on libcups' own connection, where no
// deadline reaches.
DestPtr namedDest(SchedulerConnection& connection, const QString& name) {
    if (!connection.http()) return nullptr;
    const qsizetype slash = name.indexOf(QLatin1Char('/'));
    const QByteArray queue = (slash < 0 ? name : name.left(slash)).toUtf8();
    const QByteArray instance = slash < 0 ? QByteArray() : name.mid(slash + 1).toUtf8();
    DestList list;
    list.count = cupsGetDests2(connection.http(), &list.dests);
    connection.gaveUp();
    const cups_dest_t* found = cupsGetDest(
        queue.constData(), slash < 0 ? nullptr : instance.constData(), list.count, list.dests);
    cups_dest_t* copy = nullptr;
    if (found) cupsCopyDest(const_cast<cups_dest_t*>(found), 0, &copy);
    return DestPtr(copy);
}

QString destName(const cups_dest_t& dest) {
    QString name = QString::fromUtf8(dest.name);
    if (dest.instance) name += QLatin1Char('/') + QString::fromUtf8(dest.instance);
    return name;
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
std::optional<QPageSize> queueMediaDefault(SchedulerConnection& connection, const QString& name) {
    DestPtr dest = namedDest(connection, name);
    if (!dest) return std::nullopt;
    DestInfoPtr info(cupsCopyDestInfo(connection.http(), dest.get()));
    cups_size_t size{};
    if (info && cupsGetDestMediaDefault(connection.http(), dest.get(), info.get(), 0, &size))
        if (std::optional<QPageSize> page = pageSize(size.width, size.length)) return page;
    connection.gaveUp();
    const char* option = cupsGetOption("media", dest->num_options, dest->options);
    const pwg_media_t* media = option ? pwgMediaForPWG(option) : nullptr;
    if (!media && option) media = pwgMediaForPPD(option);
    return media ? pageSize(media->width, media->length) : std::nullopt;
}

// Sends the document in one Print-Job request: the scheduler makes the job only when the
// request arrived whole. Returns the job's id (-1 when the reply names none), 0 when the scheduler
// refused it or the transfer failed.
int printJob(SchedulerConnection& connection, const QByteArray& queue, const QByteArray& title,
             int optionCount, cups_option_t* options, const QByteArray& pdf) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", queue.constData());
    const QByteArray resource = "/printers/" + queue;
    ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                 CUPS_FORMAT_PDF);
    cupsEncodeOptions2(request, optionCount, options, IPP_TAG_OPERATION);
    cupsEncodeOptions2(request, optionCount, options, IPP_TAG_JOB);
    // The length covers the request's attributes and the document after them.
    http_status_t status = cupsSendRequest(connection.http(), request, resource.constData(),
                                           ippLength(request) + size_t(pdf.size()));
    if (status == HTTP_STATUS_CONTINUE)
        status = cupsWriteRequestData(connection.http(), pdf.constData(), size_t(pdf.size()));
    ipp_t* response = status == HTTP_STATUS_CONTINUE
                          ? cupsGetResponse(connection.http(), resource.constData())
                          : nullptr;
    int jobId = 0;
    if (response && cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE) {
        ipp_attribute_t* id = ippFindAttribute(response, "job-id", IPP_TAG_INTEGER);
        jobId = id ? ippGetInteger(id, 0) : -1;
    }
    ippDelete(response);
    ippDelete(request);
    return jobId;
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
    SchedulerConnection connection(*this);
    if (connection.http()) {
        DestList list;
        list.count = cupsGetDests2(connection.http(), &list.dests);
        connection.gaveUp();
        for (int i = 0; i < list.count; ++i) names << destName(list.dests[i]);
    }
    names << kPdfPrinterName;
    return names;
}

QString CupsPrinterSystem::schedulerProblem() const {
    const std::lock_guard lock(mutex_);
    return problemServer_ == QString::fromUtf8(cupsServer()) ? problem_ : QString();
}

PrinterDescription CupsPrinterSystem::describe(const QString& printerName) const {
    PrinterDescription result;
    if (printerName == kPdfPrinterName) {
        result.description = QStringLiteral("Saves each drawing as a PDF file in %1")
                                 .arg(QDir::toNativeSeparators(pdfOutputFolder()));
        return result;
    }
    SchedulerConnection connection(*this);
    DestPtr dest = namedDest(connection, printerName);
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

QString CupsPrinterSystem::printerProblem(const QString& printerName) const {
    if (printerName == kPdfPrinterName) {
        const QString folder = pdfOutputFolder();
        QDir().mkpath(folder);
        QTemporaryFile probe(folder + QStringLiteral("/.plenbatchprint-XXXXXX"));
        if (probe.open()) return {};
        return QStringLiteral("The PDF folder %1 cannot be written: %2")
            .arg(QDir::toNativeSeparators(folder), probe.errorString());
    }
    SchedulerConnection connection(*this);
    DestPtr dest = namedDest(connection, printerName);
    if (!dest) {
        const QString scheduler = connection.problem();
        if (!scheduler.isEmpty())
            return QStringLiteral("The printer \"%1\" cannot be reached: %2.")
                .arg(printerName, scheduler);
        return QStringLiteral("The printer \"%1\" is not available.").arg(printerName);
    }
    const auto option = [&](const char* name) {
        return QString::fromUtf8(cupsGetOption(name, dest->num_options, dest->options));
    };
    QStringList problems;
    if (option("printer-state").toInt() == 5) problems << QStringLiteral("is stopped (paused)");
    if (option("printer-is-accepting-jobs") == QLatin1String("false"))
        problems << QStringLiteral("refuses new jobs");
    if (problems.isEmpty()) return {};
    QString text = QStringLiteral("The printer \"%1\" %2")
                       .arg(printerName, problems.join(QStringLiteral(" and ")));
    const QString message = option("printer-state-message");
    if (!message.isEmpty()) text += QStringLiteral(" (") + message + u')';
    return text + u'.';
}

QString CupsPrinterSystem::defaultPrinter() const {
    SchedulerConnection connection(*this);
    if (!connection.http()) return {};
    DestList list;
    list.count = cupsGetDests2(connection.http(), &list.dests);
    connection.gaveUp();
    // cupsGetDests2 marks the lpoptions or scheduler default; LPDEST and PRINTER (unless "lp")
    // come first, as for lp.
    QString chosen = qEnvironmentVariable("LPDEST");
    if (chosen.isEmpty() && qEnvironmentVariable("PRINTER") != QLatin1String("lp"))
        chosen = qEnvironmentVariable("PRINTER");
    for (int i = 0; i < list.count; ++i) {
        const QString name = destName(list.dests[i]);
        if (chosen.isEmpty() ? list.dests[i].is_default != 0 : name == chosen) return name;
    }
    return {};
}

QPageSize CupsPrinterSystem::defaultPaper(const QString& printerName) const {
    if (printerName == kPdfPrinterName) return pdfPrinterPaper();
    SchedulerConnection connection(*this);
    return queueMediaDefault(connection, printerName).value_or(QPageSize(QPageSize::A4));
}

std::optional<QString> CupsPrinterSystem::offeredMedia(const QString& printerName,
                                                       const QPageSize& paper) const {
    const auto offered = offeredPapers(printerName, {paper});
    if (offered.empty()) return std::nullopt;
    return offered.front().second;
}

std::vector<std::pair<QPageSize, QString>> CupsPrinterSystem::offeredPapers(
    const QString& printerName, const std::vector<QPageSize>& papers) const {
    std::vector<std::pair<QPageSize, QString>> offered;
    if (printerName == kPdfPrinterName) {
        for (const QPageSize& paper : papers) offered.emplace_back(paper, QString());
        return offered;
    }
    SchedulerConnection connection(*this);
    DestPtr dest = namedDest(connection, printerName);
    if (!dest) return offered;
    DestInfoPtr info(cupsCopyDestInfo(connection.http(), dest.get()));
    if (!info) return offered;
    for (const QPageSize& paper : papers) {
        const QSizeF mm = paper.size(QPageSize::Millimeter);
        cups_size_t size{};
        if (cupsGetDestMediaBySize(connection.http(), dest.get(), info.get(),
                                   qRound(mm.width() * 100), qRound(mm.height() * 100),
                                   CUPS_MEDIA_FLAGS_DEFAULT, &size))
            offered.emplace_back(paper, QString::fromUtf8(size.media));
    }
    return offered;
}

std::vector<PrinterOption> CupsPrinterSystem::options(const QString& printerName) const {
    if (printerName == kPdfPrinterName) return pdfPrinterOptions();
    SchedulerConnection connection(*this);
    DestPtr dest = namedDest(connection, printerName);
    if (!dest) return {};
    DestInfoPtr info(cupsCopyDestInfo(connection.http(), dest.get()));
    if (!info) return {};
    std::vector<PrinterOption> result;
    for (const char* name :
         {"media", "media-source", "sides", "print-color-mode", "print-quality"}) {
        PrinterOption option{QString::fromLatin1(name)};
        option.choices = attributeValues(
            cupsFindDestSupported(connection.http(), dest.get(), info.get(), name), name);
        if (option.choices.size() < 2) continue;  // nothing to choose
        const QStringList defaults = attributeValues(
            cupsFindDestDefault(connection.http(), dest.get(), info.get(), name), name);
        option.defaultChoice = defaults.value(0);
        result.push_back(option);
    }
    connection.gaveUp();
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
    SchedulerConnection connection(*this);
    const DestPtr dest = namedDest(connection, job.printerName);
    if (!dest) {
        const QString problem = connection.problem();
        if (!problem.isEmpty())
            throw VbError(IPP_STATUS_ERROR_SERVICE_UNAVAILABLE,
                          QStringLiteral("The printer \"%1\" cannot be reached: %2.")
                              .arg(job.printerName, problem));
        // libcups would only say "No such file or directory" for a queue that is gone.
        throw VbError(cupsLastError(),
                      QStringLiteral("The printer \"%1\" is not available: %2")
                          .arg(job.printerName, QString::fromUtf8(cupsLastErrorString())));
    }
    const QByteArray queue = QByteArray(dest->name);
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
    const int jobId = printJob(connection, queue, title, optionCount, options, job.pdf);
    cupsFreeOptions(optionCount, options);
    if (connection.gaveUp())
        throw VbError(IPP_STATUS_ERROR_SERVICE_UNAVAILABLE,
                      QStringLiteral("The job for \"%1\" was not sent: %2.")
                          .arg(job.printerName, connection.problem()));
    if (jobId == 0) throw VbError(cupsLastError(), QString::fromUtf8(cupsLastErrorString()));
    if (jobId > 0) queuedJobs_ << QString::fromUtf8(queue) + u'-' + QString::number(jobId);
}

}  // namespace pbp::printers
