#pragma once

#include <cstdint>

// What the fault-signal handler keeps of a crash, written into memory set aside in advance
// before the report is made on the crash watcher thread (platform/fault/CrashSignals.h).
namespace platform
{

// The longest stack either walk keeps.
constexpr int kMaxCrashFrames = 256;

// The faulting thread's 64-bit registers at the fault. The signal frame of this system keeps
// no DS or ES.
struct CrashRegisters
{
    uint64_t rax = 0, rbx = 0, rcx = 0, rdx = 0, rsi = 0, rdi = 0, rbp = 0, rsp = 0;
    uint64_t r8 = 0, r9 = 0, r10 = 0, r11 = 0, r12 = 0, r13 = 0, r14 = 0, r15 = 0;
    uint64_t rip = 0;
    uint64_t flags = 0;
    uint16_t cs = 0, ss = 0, fs = 0, gs = 0;
};

// One frame of a walk: its code address (the fault's own instruction for the first frame,
// a return address for the others), its frame address (the unwinder's stack pointer of the
// frame, or the saved frame pointer of the frame-pointer walk), and the four machine words
// on the stack at the frame address (0 where they cannot be read).
struct CrashFrame
{
    uint64_t pc = 0;
    uint64_t frame = 0;
    uint64_t params[4] = {};
};

struct CrashRecord
{
    // The report's exception code (platform/fault/ExceptionCodes.h), mapped from the signal.
    uint32_t exceptionCode = 0;
    int signal = 0;
    int signalCode = 0;
    // The faulting instruction and, for memory faults, the address it touched.
    uint64_t address = 0;
    uint64_t dataAddress = 0;
    // The kernel's id of the faulting thread.
    uint32_t threadId = 0;
    CrashRegisters registers;

    // The unwinder's walk from the signal frame. unwindError: 0 when it ended at the last
    // frame or at kMaxCrashFrames, else the unwinder's (negative) error code.
    int unwindFrameCount = 0;
    int unwindError = 0;
    CrashFrame unwindFrames[kMaxCrashFrames];

    // The walk along the saved frame pointers (never empty: the faulting frame comes first).
    int pointerFrameCount = 0;
    CrashFrame pointerFrames[kMaxCrashFrames];
};

} // namespace platform
