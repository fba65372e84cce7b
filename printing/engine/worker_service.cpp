#include "printing/engine/worker_service.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFontDatabase>
#include <QGuiApplication>
#include <cerrno>
#include <cstring>
#include <new>
#include <optional>

#include "printing/engine/drawing_printer.h"
#include "printing/engine/engine_errors.h"
#include "printing/engine/memory_exhaustion.h"
#include "printing/engine/pdf_sheets.h"
#include "printing/engine/sheet_layout.h"
#include "printing/engine/worker_protocol.h"
#include "printing/engine/worker_sandbox.h"

namespace pbp::visio::worker {

namespace {

constexpr int kGarbageExit = 2;
// How many drawings one forked process reads before the next starts afresh. A process per
// drawing would double the processor time of each (docs/benchmarks.md): every new process
// faults its memory in again, where a running one reuses it.
constexpr int kDrawingsPerProcess = 32;

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

QByteArray answer(const Message& message, std::optional<DrawingFile>& file, const Hook& hook) {
    switch (message.kind) {
        case Kind::Open: {
            const OpenOrder order = readOpen(message.body);
            file.reset();
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

// Serves one drawing: its Open and, when the drawing is kept, its Prints up to its Close.
// Returns the process's exit code.
int serve(int fd, const Hook& hook) {
    std::optional<DrawingFile> file;
    Message message;
    while (receiveMessage(fd, std::nullopt, message) == ReceiveEnd::Message) {
        QByteArray reply;
        try {
            reply = answer(message, file, hook);
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
        if (!file) return 0;
    }
    return 0;
}

// Waits for the program's next order; false once the program has closed the socket.
bool orderWaiting(int fd) {
    for (;;) {
        pollfd watched{fd, POLLIN, 0};
        if (::poll(&watched, 1, -1) < 0 && errno != EINTR) return false;
        char first = 0;
        const ssize_t peeked = ::recv(fd, &first, 1, MSG_PEEK);
        if (peeked > 0) return true;
        if (peeked == 0 || errno != EINTR) return false;
    }
}

// A drawing worker, forked for up to kDrawingsPerProcess drawings: ends with the
// pre-initialised worker, limits its memory and enters the sandbox before it reads anything.
int drawingWorker(int argc, char** argv, pid_t parent, const Hook& hook) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) return 0;
    limitMemory(argc, argv);
    if (const std::optional<QString> why = enterSandbox()) {
        qWarning("plenbatchprint-worker: its sandbox could not be set up: %s", qPrintable(*why));
        return kNoSandboxExit;
    }
    for (int drawing = 0; drawing < kDrawingsPerProcess; ++drawing) {
        if (drawing > 0 && !orderWaiting(kSocketFd)) return 0;
        if (const int code = serve(kSocketFd, hook); code != 0) return code;
    }
    return 0;
}

// Ends this process as the drawing worker ended: by the same signal, so that the program
// reports the drawing's crash.
[[noreturn]] void endBySignal(int number) {
    ::signal(number, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, number);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(number);
    _exit(128 + number);
}

// Forks drawing workers, one at a time, each with Qt and the fonts already loaded: a new one
// whenever the last has read its share of drawings. A drawing worker that does not end normally
// ends this process the same way; the program then starts a new one.
int forkDrawingWorkers(int argc, char** argv, const Hook& hook) {
    const pid_t self = getpid();
    while (orderWaiting(kSocketFd)) {
        const pid_t child = fork();
        if (child < 0) {
            qWarning("plenbatchprint-worker: no drawing worker could be forked: %s",
                     strerror(errno));
            return kNoWorkerExit;
        }
        if (child == 0) _exit(drawingWorker(argc, argv, self, hook));
        int status = 0;
        while (::waitpid(child, &status, 0) < 0)
            if (errno != EINTR) return kNoWorkerExit;
        if (WIFSIGNALED(status)) endBySignal(WTERMSIG(status));
        if (WEXITSTATUS(status) != 0) _exit(WEXITSTATUS(status));
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
    return forkDrawingWorkers(argc, argv, hook);
}

}  // namespace pbp::visio::worker
