#include "viewer/preview_sandbox.h"

#include <fcntl.h>
#include <seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <memory>
#include <span>

namespace quorvela::viewer {

namespace {

struct DeniedCall {
    const char* Name;
    int Error;
};

// Calls that write or remove files, reach the network or other processes, or start a program.
// openat2 takes its flags in a structure the filter cannot read: it is answered "not there",
// so a caller falls back to openat, whose flags the filter checks.
constexpr DeniedCall kDeniedCalls[] = {
    {"creat", EPERM},
    {"open_by_handle_at", EPERM},
    {"openat2", ENOSYS},
    {"rename", EPERM},
    {"renameat", EPERM},
    {"renameat2", EPERM},
    {"unlink", EPERM},
    {"unlinkat", EPERM},
    {"rmdir", EPERM},
    {"mkdir", EPERM},
    {"mkdirat", EPERM},
    {"link", EPERM},
    {"linkat", EPERM},
    {"symlink", EPERM},
    {"symlinkat", EPERM},
    {"mknod", EPERM},
    {"mknodat", EPERM},
    {"truncate", EPERM},
    {"chmod", EPERM},
    {"fchmod", EPERM},
    {"fchmodat", EPERM},
    {"chown", EPERM},
    {"fchown", EPERM},
    {"lchown", EPERM},
    {"fchownat", EPERM},
    {"utime", EPERM},
    {"utimes", EPERM},
    {"utimensat", EPERM},
    {"futimesat", EPERM},
    {"setxattr", EPERM},
    {"lsetxattr", EPERM},
    {"fsetxattr", EPERM},
    {"removexattr", EPERM},
    {"lremovexattr", EPERM},
    {"fremovexattr", EPERM},
    {"socket", EPERM},
    {"socketpair", EPERM},
    {"execve", EPERM},
    {"execveat", EPERM},
    {"ptrace", EPERM},
    {"process_vm_writev", EPERM},
    {"io_uring_setup", EPERM},
    {"pidfd_send_signal", EPERM},
};

// Any one of these flags makes an open a write, a creation or a truncation.
constexpr int kWritingOpenFlags[] = {O_WRONLY, O_RDWR, O_CREAT, O_TRUNC};

struct FilterFree {
    void operator()(scmp_filter_ctx filter) const { seccomp_release(filter); }
};
using Filter = std::unique_ptr<void, FilterFree>;

// Adds a rule for a call this architecture has; a call it lacks (open on some) needs none.
int Deny(const Filter& filter, const char* name, int error, std::span<const scmp_arg_cmp> conditions = {}) {
    const int call = seccomp_syscall_resolve_name(name);
    if (call == __NR_SCMP_ERROR) return 0;
    return seccomp_rule_add_array(filter.get(), SCMP_ACT_ERRNO(static_cast<std::uint32_t>(error)), call,
                                  static_cast<unsigned>(conditions.size()), conditions.data());
}

int AddRules(const Filter& filter) {
    for (const DeniedCall& denied : kDeniedCalls) {
        if (const int status = Deny(filter, denied.Name, denied.Error); status != 0) return status;
    }
    for (const int flag : kWritingOpenFlags) {
        const auto bit = static_cast<scmp_datum_t>(flag);
        const scmp_arg_cmp openFlags[] = {SCMP_A1(SCMP_CMP_MASKED_EQ, bit, bit)};
        const scmp_arg_cmp openatFlags[] = {SCMP_A2(SCMP_CMP_MASKED_EQ, bit, bit)};
        if (const int status = Deny(filter, "open", EPERM, openFlags); status != 0) return status;
        if (const int status = Deny(filter, "openat", EPERM, openatFlags); status != 0) return status;
    }
    // Signals only to itself: a helper may abort, but not stop the window.
    const auto self = static_cast<scmp_datum_t>(::getpid());
    const scmp_arg_cmp toOthers[] = {SCMP_A0(SCMP_CMP_NE, self, 0)};
    if (const int status = Deny(filter, "kill", EPERM, toOthers); status != 0) return status;
    return Deny(filter, "tgkill", EPERM, toOthers);
}

std::string LoadFilter() {
    const Filter filter(seccomp_init(SCMP_ACT_ALLOW));
    if (!filter) return "seccomp_init failed";
    if (const int status = AddRules(filter); status != 0) {
        return std::string("a seccomp rule was refused: ") + std::strerror(-status);
    }
    if (const int status = seccomp_load(filter.get()); status != 0) {
        return std::string("seccomp_load failed: ") + std::strerror(-status);
    }
    return {};
}

// The address space the process holds now: sanitizer builds reserve terabytes of it up front,
// so the limit is counted from here.
std::uint64_t AddressSpaceInUse() {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    statm >> pages;
    return pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

bool Limit(int resource, std::uint64_t value) {
    const rlimit limit{value, value};
    return ::setrlimit(resource, &limit) == 0;
}

}  // namespace

std::string EnterPreviewSandbox(std::uint64_t memoryBudget) {
    if (::close_range(STDERR_FILENO + 1, ~0U, 0) != 0) {
        return std::string("close_range failed: ") + std::strerror(errno);
    }
    if (!Limit(RLIMIT_AS, AddressSpaceInUse() + memoryBudget) || !Limit(RLIMIT_CORE, 0) || !Limit(RLIMIT_FSIZE, 0)) {
        return std::string("setrlimit failed: ") + std::strerror(errno);
    }
    // A write to a standard stream that the window sent to a file then fails instead of ending
    // the helper.
    std::signal(SIGXFSZ, SIG_IGN);
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) {
        return std::string("PR_SET_NO_NEW_PRIVS failed: ") + std::strerror(errno);
    }
    return LoadFilter();
}

}  // namespace quorvela::viewer
