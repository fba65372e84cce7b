#include "printing/engine/worker_service.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QFontDatabase>
#include <QGuiApplication>
#include <new>
#include <optional>

#include "printing/engine/engine_errors.h"
#include "printing/engine/memory_exhaustion.h"
#include "printing/engine/pdf_sheets.h"
#include "printing/engine/sheet_plan.h"
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

QByteArray opened(const OpenOrder& order, std::optional<DrawingFile>& file) {
    OpenedDrawing answer;
    answer.pages = file->pages;
    answer.notes = file->drawing->log();
    if (order.plan) {
        SheetPlan plan = planSheets(file->pages, *order.plan);
        if (!plan.sheets().empty()) {
            try {
                answer.pdf = pdfSheets(*file, plan);
                answer.printed = std::move(plan);
            } catch (const VbError&) {
                answer.pdf.clear();  // printing it later reports why
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
    const SheetPlan plan = planSheets(file.pages, order.plan);
    if (plan.sheets().empty())
        throw VbError(engine_error::kOutOfRange,
                      QStringLiteral("%1 has no page to print.").arg(quotedPath(file.path)));
    return previewedFrame(previewSheets(file, plan, order.sheet, int(order.longEdgePixels)));
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
            const SheetPlan plan = readPrint(message.body);
            if (!file)
                throw VbError(engine_error::kObjectClosed, QStringLiteral("No drawing is open."));
            if (hook) hook(file->path, Step::Printing);
            return printedFrame(pdfSheets(*file, plan));
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
