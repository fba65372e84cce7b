#include "printing/engine/worker_service.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QFontDatabase>
#include <QGuiApplication>
#include <new>
#include <optional>

#include "printing/engine/drawing_printer.h"
#include "printing/engine/engine_errors.h"
#include "printing/engine/memory_exhaustion.h"
#include "printing/engine/pdf_sheets.h"
#include "printing/engine/sheet_layout.h"
#include "printing/engine/sheet_preview.h"
#include "printing/engine/worker_protocol.h"
#include "printing/engine/worker_sandbox.h"
#include "support/file_identity.h"

namespace pbp::visio::worker {

namespace {

constexpr int kGarbageExit = 2;

[[noreturn]] void outOfMemory() {
    _exit(kOutOfMemoryExit);
}

void limitMemory(int argc, char** argv) {
    const QByteArray option = "--memory-limit-mib=";
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (!argument.startsWith(option)) continue;
        bool ok = false;
        const qint64 mib = argument.mid(option.size()).toLongLong(&ok);
        if (!ok || mib <= 0) continue;
        const rlim_t bytes = rlim_t(mib) << 20;
        const rlimit limit{bytes, bytes};
        if (setrlimit(RLIMIT_AS, &limit) == 0)
            TreatCrashesNearTheLimitAsOutOfMemory(bytes, kOutOfMemoryExit);
    }
}

// The pages as the program left them: sizes and print orientation may have changed; which
// page is a background page and what the renderer drew for it may not.
void takePageCells(DrawingFile& file, const std::vector<DrawingPage>& pages) {
    if (pages.size() != file.pages.size())
        throw VbError(engine_error::kBadFormat,
                      QStringLiteral("%1 changed while it was open.").arg(quotedPath(file.path)));
    for (size_t i = 0; i < pages.size(); ++i) {
        file.pages[i].widthInches = pages[i].widthInches;
        file.pages[i].heightInches = pages[i].heightInches;
        file.pages[i].printPageOrientation = pages[i].printPageOrientation;
    }
}

// The sheets the plan asks for, with the pages as the plan turns them (as the print run does);
// nothing when the drawing has no foreground page.
std::optional<PrintOrder> plannedOrder(const DrawingFile& file, const PrintPlan& plan) {
    PrintOrder order;
    order.pages = file.pages;
    int foreground = 0;
    for (DrawingPage& page : order.pages) {
        foreground += page.background ? 0 : 1;
        if (!plan.turnLandscapeShapedPages) continue;
        if (!isLandscapeOrientation(page.printPageOrientation) &&
            page.widthInches > page.heightInches)
            page.printPageOrientation = QStringLiteral("2");
    }
    if (foreground == 0 || foreground > 32767) return std::nullopt;
    order.sheets =
        sheetOrder(0, plan.firstPageOnly ? 0 : foreground - 1, plan.copies, plan.collate);
    order.papers = choosePapers(order.pages, order.sheets, plan.paper,
                                [&](const QPageSize& paper) -> std::optional<QString> {
                                    for (const OfferedPaper& offered : plan.offered)
                                        if (offered.paper == paper) return offered.media;
                                    return std::nullopt;
                                })
                       .ofPage;
    return order;
}

QByteArray opened(const OpenOrder& order, std::optional<DrawingFile>& file) {
    OpenedDrawing answer;
    answer.pages = file->pages;
    answer.notes = file->drawing->log();
    if (order.plan) {
        answer.printed = plannedOrder(*file, *order.plan);
        if (answer.printed) {
            DrawingFile painted = *file;
            painted.pages = answer.printed->pages;
            try {
                answer.pdf = pdfSheets(painted, answer.printed->sheets, answer.printed->papers);
            } catch (const VbError&) {
                answer.printed.reset();  // printing it later reports why
            }
        }
    }
    if (!order.keep) file.reset();
    return openedFrame(answer);
}

// The drawing a Preview asks for: the one already read when the file is unchanged since, so
// that turning through its sheets reads it once.
DrawingFile& previewedDrawing(const QString& path, std::optional<DrawingFile>& file,
                              FileIdentity& seen, const Hook& hook) {
    const FileIdentity now = fileIdentity(path);
    if (file && file->path == path && seen == now) return *file;
    file.reset();
    if (hook) hook(path, Step::Reading);
    file = loadDrawingFile(path);
    seen = now;
    return *file;
}

QByteArray previewed(const PreviewOrder& order, const DrawingFile& file) {
    const std::optional<PrintOrder> planned = plannedOrder(file, order.plan);
    if (!planned)
        throw VbError(engine_error::kOutOfRange,
                      QStringLiteral("%1 has no page to print.").arg(quotedPath(file.path)));
    DrawingFile turned = file;
    turned.pages = planned->pages;
    return previewedFrame(previewSheets(turned, planned->sheets, planned->papers, order.sheet,
                                        int(order.longEdgePixels)));
}

QByteArray answer(const Message& message, std::optional<DrawingFile>& file, FileIdentity& seen,
                  const Hook& hook) {
    switch (message.kind) {
        case Kind::Preview: {
            const PreviewOrder order = readPreview(message.body);
            return previewed(order, previewedDrawing(order.path, file, seen, hook));
        }
        case Kind::Open: {
            const OpenOrder order = readOpen(message.body);
            file.reset();
            seen = {};
            if (hook) hook(order.path, Step::Reading);
            file = loadDrawingFile(order.path);
            return opened(order, file);
        }
        case Kind::Print: {
            const PrintOrder order = readPrint(message.body);
            if (!file)
                throw VbError(engine_error::kObjectClosed, QStringLiteral("No drawing is open."));
            takePageCells(*file, order.pages);
            if (hook) hook(file->path, Step::Printing);
            return printedFrame(pdfSheets(*file, order.sheets, order.papers));
        }
        case Kind::Close:
            file.reset();
            return {};
        default:
            throw Garbage();
    }
}

int serve(int fd, const Hook& hook) {
    std::optional<DrawingFile> file;
    FileIdentity seen;  // of the drawing a Preview read
    Message message;
    while (receiveMessage(fd, std::nullopt, message) == ReceiveEnd::Message) {
        QByteArray reply;
        try {
            reply = answer(message, file, seen, hook);
        } catch (const VbError& error) {
            reply = failedFrame(error.number(), error.description());
        } catch (const Garbage&) {
            return kGarbageExit;
        } catch (const std::bad_alloc&) {
            outOfMemory();
        } catch (const std::exception& error) {
            reply = failedFrame(engine_error::kBadFormat, QString::fromLocal8Bit(error.what()));
        }
        if (!reply.isEmpty() && !sendFrame(fd, reply)) return 0;
    }
    return 0;
}

}  // namespace

int runWorker(int argc, char** argv, const Hook& hook) {
    // The worker ends with the program, whatever it is doing.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dropInheritedRights();
    // Painting needs fonts, and so a GUI application, but a worker never shows anything.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    // The font list is made while fontconfig may still refresh its caches.
    QFontDatabase::families();
    std::set_new_handler(outOfMemory);
    limitMemory(argc, argv);
    if (const std::optional<QString> why = enterSandbox()) {
        qWarning("plenbatchprint-worker: its sandbox could not be set up: %s", qPrintable(*why));
        return kNoSandboxExit;
    }
    return serve(kSocketFd, hook);
}

}  // namespace pbp::visio::worker
