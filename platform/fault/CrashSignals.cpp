#include "platform/fault/CrashSignals.h"

#include "platform/fault/ExceptionCodes.h"
#include "platform/fault/ModuleMap.h"
#include "platform/fault/StackWalk.h"

#include <atomic>
#include <cerrno>
#include <csetjmp>
#include <dlfcn.h>
#include <exception>
#include <fcntl.h>
#include <new>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace platform
{

namespace
{

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT};
constexpr int kSignalCount = int(sizeof(kSignals) / sizeof(kSignals[0]));
// The handler runs the unwinder: room for it and its cursor on every thread's own stack.
constexpr size_t kAlternateStackSize = 128 * 1024;

CrashRecord gRecord;
std::atomic<CrashReporter> gReporter{nullptr};
std::atomic<int> gOwner{0};      // the thread whose crash is being reported
std::atomic<int> gWatcherTid{0}; // 0 until the watcher runs
pid_t gInstallPid = 0;
int gToWatcher[2] = {-1, -1};
int gFromWatcher[2] = {-1, -1};
bool gInstalled = false;
struct sigaction gPrevious[kSignalCount];
std::terminate_handler gPreviousTerminate = nullptr;
std::atomic<uint32_t> gTerminateCode{0};
std::atomic<int> gHeldFaults{0};

// A fault while the unwinder runs in the handler jumps back out of it.
volatile sig_atomic_t gUnwinding = 0;
sigjmp_buf gUnwindJump;

// Set on the threads the report starts (the watcher's and theirs in turn).
thread_local bool tReportThread = false;

// This thread's alternate signal stack, unless the thread has one of that size already. One
// too small for the report (a sanitizer runtime gives each thread a small one of its own) is
// put back when this one goes.
class AlternateStack
{
public:
    void Install()
    {
        stack_t current;
        if (sigaltstack(nullptr, &current) != 0) return;
        const bool had = !(current.ss_flags & SS_DISABLE);
        if (had && current.ss_size >= kAlternateStackSize) return;
        size_t page = size_t(sysconf(_SC_PAGESIZE));
        void* memory = mmap(nullptr, kAlternateStackSize + page, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (memory == MAP_FAILED) return;
        mprotect(memory, page, PROT_NONE); // a guard below the stack
        stack_t stack = {};
        stack.ss_sp = static_cast<char*>(memory) + page;
        stack.ss_size = kAlternateStackSize;
        if (sigaltstack(&stack, nullptr) != 0)
        {
            munmap(memory, kAlternateStackSize + page);
            return;
        }
        mMemory = memory;
        mSize = kAlternateStackSize + page;
        mHadPrevious = had;
        mPrevious = current;
    }
    ~AlternateStack()
    {
        if (!mMemory) return;
        stack_t off = {};
        off.ss_flags = SS_DISABLE;
        sigaltstack(mHadPrevious ? &mPrevious : &off, nullptr);
        munmap(mMemory, mSize);
    }

private:
    void* mMemory = nullptr;
    size_t mSize = 0;
    bool mHadPrevious = false;
    stack_t mPrevious = {};
};

int ThreadId()
{
    return int(syscall(SYS_gettid));
}

// Back to the default action, then the signal again: the process ends with it. A hardware
// fault whose raise is still pending ends it when the faulting instruction runs again.
void EndWithSignal(int signal)
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    raise(signal);
}

void Capture(int signal, siginfo_t* info, void* context, int tid)
{
    const ucontext_t* uc = static_cast<const ucontext_t*>(context);
    const greg_t* g = uc->uc_mcontext.gregs;
    CrashRecord& r = gRecord;
    CrashRegisters& regs = r.registers;
    regs.rax = uint64_t(g[REG_RAX]);
    regs.rbx = uint64_t(g[REG_RBX]);
    regs.rcx = uint64_t(g[REG_RCX]);
    regs.rdx = uint64_t(g[REG_RDX]);
    regs.rsi = uint64_t(g[REG_RSI]);
    regs.rdi = uint64_t(g[REG_RDI]);
    regs.rbp = uint64_t(g[REG_RBP]);
    regs.rsp = uint64_t(g[REG_RSP]);
    regs.r8 = uint64_t(g[REG_R8]);
    regs.r9 = uint64_t(g[REG_R9]);
    regs.r10 = uint64_t(g[REG_R10]);
    regs.r11 = uint64_t(g[REG_R11]);
    regs.r12 = uint64_t(g[REG_R12]);
    regs.r13 = uint64_t(g[REG_R13]);
    regs.r14 = uint64_t(g[REG_R14]);
    regs.r15 = uint64_t(g[REG_R15]);
    regs.rip = uint64_t(g[REG_RIP]);
    regs.flags = uint64_t(g[REG_EFL]);
    // cs, gs, fs and ss, 16 bits each from the low end.
    uint64_t segments = uint64_t(g[REG_CSGSFS]);
    regs.cs = uint16_t(segments);
    regs.gs = uint16_t(segments >> 16);
    regs.fs = uint16_t(segments >> 32);
    regs.ss = uint16_t(segments >> 48);

    r.signal = signal;
    r.signalCode = info->si_code;
    r.threadId = uint32_t(tid);
    r.address = regs.rip;
    bool memoryFault = signal == SIGSEGV || signal == SIGBUS || signal == SIGFPE || signal == SIGILL;
    r.dataAddress = memoryFault && info->si_code > 0 ? uint64_t(info->si_addr) : 0;
    uint32_t pending = gTerminateCode.exchange(0);
    r.exceptionCode = signal == SIGABRT && pending != 0
                          ? pending
                          : ExceptionCodeForSignal(signal, info->si_code, r.dataAddress, regs.rsp);

    gUnwinding = 1;
    if (sigsetjmp(gUnwindJump, 1) == 0)
        WalkUnwinder(context, r.unwindFrames, kMaxCrashFrames, r.unwindFrameCount, r.unwindError);
    else
        r.unwindError = -1;
    gUnwinding = 0;
    r.pointerFrameCount = WalkFramePointers(regs.rip, regs.rbp, r.pointerFrames, kMaxCrashFrames);
}

void OnFaultSignal(int signal, siginfo_t* info, void* context)
{
    int saved = errno;
    int tid = ThreadId();
    if (gOwner.load() == tid)
    {
        // A fault in the handler itself: out of the unwinder, or the end.
        if (gUnwinding)
        {
            gUnwinding = 0;
            siglongjmp(gUnwindJump, 1);
        }
        EndWithSignal(signal);
        return;
    }
    if (tReportThread || tid == gWatcherTid.load() || getpid() != gInstallPid || gWatcherTid.load() == 0)
    {
        EndWithSignal(signal);
        return;
    }
    int expected = 0;
    if (!gOwner.compare_exchange_strong(expected, tid))
    {
        // Another thread's crash is being reported; the process ends with it.
        ++gHeldFaults;
        for (;;)
            pause();
    }
    Capture(signal, info, context, tid);
    char byte = 'c';
    while (write(gToWatcher[1], &byte, 1) < 0 && errno == EINTR)
    {
    }
    while (read(gFromWatcher[0], &byte, 1) < 0 && errno == EINTR)
    {
    }
    EndWithSignal(signal);
    errno = saved;
}

void OnTerminate()
{
    gTerminateCode = kExceptionCxx;
    // The library's own terminate handler tells what was thrown, then aborts.
    if (gPreviousTerminate) gPreviousTerminate();
    raise(SIGABRT);
    std::abort();
}

void WatcherMain()
{
    gWatcherTid = ThreadId();
    for (;;)
    {
        char byte = 0;
        ssize_t got = read(gToWatcher[0], &byte, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return;
        CrashReporter reporter = gReporter.load();
        if (reporter) reporter(gRecord);
        byte = 'd';
        while (write(gFromWatcher[1], &byte, 1) < 0 && errno == EINTR)
        {
        }
    }
}

// The main thread's alternate stack, kept for the life of the process.
AlternateStack gMainThreadStack;

} // namespace

bool InstallCrashHandlers(CrashReporter reporter)
{
    gReporter = reporter;
    if (gInstalled) return true;
    if (pipe2(gToWatcher, O_CLOEXEC) != 0 || pipe2(gFromWatcher, O_CLOEXEC) != 0) return false;
    gInstallPid = getpid();
    ModuleMap::Refresh();
    gMainThreadStack.Install();
    struct sigaction action = {};
    action.sa_sigaction = OnFaultSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kSignalCount; ++i)
        sigaction(kSignals[i], &action, &gPrevious[i]);
    gPreviousTerminate = std::set_terminate(OnTerminate);
    std::thread(WatcherMain).detach();
    // A fault right after start-up must find the watcher ready.
    while (gWatcherTid.load() == 0)
        std::this_thread::yield();
    gInstalled = true;
    return true;
}

void RestoreCrashHandlers()
{
    if (!gInstalled) return;
    for (int i = 0; i < kSignalCount; ++i)
        sigaction(kSignals[i], &gPrevious[i], nullptr);
    std::set_terminate(gPreviousTerminate);
    gInstalled = false;
}

uint32_t ExceptionCodeForSignal(int signal, int signalCode, uint64_t dataAddress, uint64_t stackPointer)
{
    constexpr uint64_t kStackReach = 64 * 1024;
    switch (signal)
    {
    case SIGSEGV:
        if (dataAddress != 0 && dataAddress + kStackReach >= stackPointer &&
            dataAddress < stackPointer + kStackReach)
            return kExceptionStackOverflow;
        return kExceptionAccessViolation;
    case SIGBUS:
        return signalCode == BUS_ADRALN ? kExceptionDatatypeMisalignment : kExceptionInPageError;
    case SIGFPE:
        switch (signalCode)
        {
        case FPE_INTOVF:
            return kExceptionIntegerOverflow;
        case FPE_FLTDIV:
            return kExceptionFloatDivideByZero;
        case FPE_FLTOVF:
            return kExceptionFloatOverflow;
        case FPE_FLTUND:
            return kExceptionFloatUnderflow;
        case FPE_FLTRES:
            return kExceptionFloatInexactResult;
        case FPE_FLTINV:
            return kExceptionFloatInvalidOperation;
        case FPE_FLTSUB:
            return kExceptionArrayBoundsExceeded;
        default:
            return kExceptionIntegerDivideByZero;
        }
    case SIGILL:
        return signalCode == ILL_PRVOPC || signalCode == ILL_PRVREG ? kExceptionPrivilegedInstruction
                                                                    : kExceptionIllegalInstruction;
    case SIGTRAP:
        return signalCode == TRAP_TRACE ? kExceptionSingleStep : kExceptionBreakpoint;
    default:
        return kExceptionFatalAppExit;
    }
}

int HeldCrashFaults()
{
    return gHeldFaults.load();
}

uint32_t CurrentThreadId()
{
    return uint32_t(ThreadId());
}

} // namespace platform

// Every thread the program starts - its own, the libraries' - runs on an alternate signal
// stack, so that a stack overflow on it can still be reported. Threads started by the crash
// watcher, or by threads it started, are marked as the report's own.
namespace
{

struct ThreadStart
{
    void* (*routine)(void*);
    void* argument;
    bool reportThread;
};

void* StartWithAlternateStack(void* data)
{
    ThreadStart start = *static_cast<ThreadStart*>(data);
    delete static_cast<ThreadStart*>(data);
    platform::tReportThread = start.reportThread;
    platform::AlternateStack stack;
    stack.Install();
    return start.routine(start.argument);
}

using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

// The thread start this one stands in front of. A sanitizer runtime linked into the program
// defines its own under this name, and only it registers the thread with the runtime; the
// library's, found next, would leave the thread's stack unknown to the leak checker.
extern "C" int __interceptor_pthread_create(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*)
    __attribute__((weak));

Create NextThreadStart()
{
    if (__interceptor_pthread_create) return __interceptor_pthread_create;
    return reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
}

} // namespace

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*routine)(void*),
                              void* argument)
{
    static Create next = NextThreadStart();
    if (!next) return EAGAIN;
    bool reportThread = platform::tReportThread || platform::ThreadId() == platform::gWatcherTid.load();
    ThreadStart* start = new (std::nothrow) ThreadStart{routine, argument, reportThread};
    if (!start) return EAGAIN;
    int result = next(thread, attributes, StartWithAlternateStack, start);
    if (result != 0) delete start;
    return result;
}
