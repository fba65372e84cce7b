#include "printing/engine/worker_sandbox.h"

#include <fcntl.h>
#include <sched.h>
#include <seccomp.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "printing/engine/worker_protocol.h"

namespace pbp::visio::worker {

namespace {

// A worker writes no file of its own; this bounds what it can add to a standard error that is
// a file (its warnings), and writes beyond it fail instead of ending the worker.
constexpr rlim_t kMaxFileBytes = rlim_t(1) << 30;
// The socket, Qt's wake-up descriptors, and the drawing, font and picture files open at once.
constexpr rlim_t kMaxDescriptors = 128;

// Sets both limits to `value`, or keeps the caller's when they are lower.
void lowerLimit(int resource, rlim_t value) {
    rlimit limit{};
    if (getrlimit(resource, &limit) != 0) return;
    limit.rlim_max = std::min(limit.rlim_max, value);
    limit.rlim_cur = std::min(limit.rlim_cur, limit.rlim_max);
    setrlimit(resource, &limit);
}

// Calls that reach nothing beyond the process: reading files already named, memory, threads,
// time, signals to itself, waiting.
constexpr const char* kAllowed[] = {
    // files and descriptors the worker holds
    "read", "readv", "pread64", "preadv", "preadv2", "write", "writev", "lseek", "close", "fstat",
    "newfstatat", "stat", "lstat", "statx", "fstatfs", "statfs", "readlink", "readlinkat", "access",
    "faccessat", "faccessat2", "getdents64", "getcwd", "fcntl", "dup", "fadvise64", "poll", "ppoll",
    "select", "pselect6", "epoll_create1", "epoll_ctl", "epoll_wait", "epoll_pwait", "eventfd2",
    "pipe2",
    // memory; libraries and image plugins are still loaded on first use
    "mmap", "munmap", "mprotect", "mremap", "madvise", "brk", "mincore", "membarrier",
    // threads
    "futex", "set_robust_list", "get_robust_list", "rseq", "set_tid_address", "gettid",
    "sched_yield", "sched_getaffinity", "sched_getparam", "sched_getscheduler",
    "sched_get_priority_max", "sched_get_priority_min", "getpriority",
    // the process and time
    "getpid", "getppid", "getuid", "geteuid", "getgid", "getegid", "getresuid", "getresgid",
    "getgroups", "uname", "sysinfo", "getrandom", "getrlimit", "clock_gettime", "clock_getres",
    "gettimeofday", "time", "nanosleep", "clock_nanosleep", "pause", "restart_syscall",
    "rt_sigaction", "rt_sigprocmask", "rt_sigreturn", "rt_sigsuspend", "rt_sigtimedwait",
    "sigaltstack", "exit", "exit_group"};

struct FilterDeleter {
    void operator()(void* filter) const { seccomp_release(filter); }
};
using Filter = std::unique_ptr<void, FilterDeleter>;

// Adds an allowing rule for `name` where this architecture has such a call.
int allow(scmp_filter_ctx filter, const char* name, std::initializer_list<scmp_arg_cmp> args = {}) {
    const int call = seccomp_syscall_resolve_name(name);
    if (call == __NR_SCMP_ERROR) return 0;
    return seccomp_rule_add_array(filter, SCMP_ACT_ALLOW, call, unsigned(args.size()),
                                  args.begin());
}

int addRules(scmp_filter_ctx filter) {
    int result = 0;
    const auto add = [&](int outcome) {
        if (result == 0) result = outcome;
    };
    for (const char* name : kAllowed) add(allow(filter, name));
    // Files open for reading only: no file is created, truncated or written.
    constexpr scmp_datum_t kWriting = O_ACCMODE | O_CREAT | O_TRUNC;
    add(allow(filter, "openat", {SCMP_A2(SCMP_CMP_MASKED_EQ, kWriting, 0)}));
    add(allow(filter, "open", {SCMP_A1(SCMP_CMP_MASKED_EQ, kWriting, 0)}));
    // The socket to the program is its only connection.
    for (const char* name : {"sendto", "sendmsg", "recvfrom", "recvmsg"})
        add(allow(filter, name, {SCMP_A0(SCMP_CMP_EQ, scmp_datum_t(kSocketFd))}));
    // Threads, but no new process; the C library falls back to clone when clone3 is missing
    // (clone3 passes its flags in memory, which a filter cannot see).
    add(allow(filter, "clone", {SCMP_A0(SCMP_CMP_MASKED_EQ, CLONE_THREAD, CLONE_THREAD)}));
    add(seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0));
    // Signals only to itself (abort and raise).
    const scmp_datum_t self = scmp_datum_t(getpid());
    add(allow(filter, "kill", {SCMP_A0(SCMP_CMP_EQ, self)}));
    add(allow(filter, "tgkill", {SCMP_A0(SCMP_CMP_EQ, self)}));
    // Reading its own limits; lowering them is allowed, raising beyond the hard limit never is.
    add(allow(filter, "prlimit64", {SCMP_A0(SCMP_CMP_EQ, 0)}));
    // Naming threads.
    for (const int option : {PR_SET_NAME, PR_GET_NAME})
        add(allow(filter, "prctl", {SCMP_A0(SCMP_CMP_EQ, scmp_datum_t(option))}));
    // Whether a descriptor is a terminal, and how much a descriptor has to read.
    for (const unsigned long request : {TCGETS, FIONREAD})
        add(allow(filter, "ioctl", {SCMP_A1(SCMP_CMP_EQ, scmp_datum_t(request))}));
    return result;
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
#define PLEN_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PLEN_ADDRESS_SANITIZER
#endif
#endif
#ifdef PLEN_ADDRESS_SANITIZER
// The leak check at exit stops the process's threads with ptrace, which the filter forbids.
extern "C" int __lsan_is_turned_off() {
    return 1;
}
#endif

void dropInheritedRights() {
    if (close_range(kSocketFd + 1, ~0U, 0) != 0) {
        rlimit open{};
        getrlimit(RLIMIT_NOFILE, &open);
        for (rlim_t fd = kSocketFd + 1; fd < open.rlim_cur && fd < (1 << 20); ++fd) close(int(fd));
    }
    lowerLimit(RLIMIT_CORE, 0);
    prctl(PR_SET_DUMPABLE, 0);
    lowerLimit(RLIMIT_NOFILE, kMaxDescriptors);
    lowerLimit(RLIMIT_FSIZE, kMaxFileBytes);
    signal(SIGXFSZ, SIG_IGN);
}

std::optional<QString> enterSandbox() {
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return QStringLiteral("no_new_privs: %1").arg(QString::fromLocal8Bit(strerror(errno)));
    const Filter filter(seccomp_init(SCMP_ACT_ERRNO(EPERM)));
    if (!filter) return QStringLiteral("the seccomp filter could not be made");
    // Threads Qt has started already are confined too.
    int result = seccomp_attr_set(filter.get(), SCMP_FLTATR_CTL_TSYNC, 1);
    if (result == 0) result = addRules(filter.get());
    if (result == 0) result = seccomp_load(filter.get());
    if (result != 0)
        return QStringLiteral("seccomp: %1").arg(QString::fromLocal8Bit(strerror(-result)));
    return std::nullopt;
}

}  // namespace pbp::visio::worker
