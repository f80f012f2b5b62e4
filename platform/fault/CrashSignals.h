#pragma once

#include "platform/fault/CrashRecord.h"

#include <cstdint>

// The fault signals of the process, turned into crash reports.
//
// The handler itself only copies the faulting thread's registers and both stack walks into a
// record set aside in advance and hands it, through a pipe, to the crash watcher: a thread
// started at install time that makes the report (the reporter) while the faulting thread
// waits. When the reporter returns, the process ends with the fault's own signal.
//
// - Handled: SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT, and uncaught C++ exceptions
//   (a terminate hook raises SIGABRT with the code kExceptionCxx).
// - Every thread started by the program gets an alternate signal stack, so a stack overflow is
//   reported too.
// - One crash at a time: a fault on another thread while a report is made waits for the
//   process to end; a fault in the reporter (the watcher, or a thread it started) or in the
//   handler itself ends the process at once with its signal.
// - After fork the child has no watcher: a fault there ends the child with its signal.
namespace platform
{

// Runs on the watcher thread; the record stays valid while it runs.
using CrashReporter = void (*)(const CrashRecord& record);

// Installs the handlers (first call), reads the loaded modules' section tables and starts the
// watcher; later calls only replace the reporter. False when the watcher could not start.
bool InstallCrashHandlers(CrashReporter reporter);
// Puts back the signal actions and the terminate handler that were in place before; the
// watcher is left waiting.
void RestoreCrashHandlers();

// The report's exception code for a fault signal: its number, its si_code, the address it
// touched and the stack pointer (a memory fault within 64 KiB of it is a stack overflow).
uint32_t ExceptionCodeForSignal(int signal, int signalCode, uint64_t dataAddress, uint64_t stackPointer);

// Faults of other threads held back while a report is being made.
int HeldCrashFaults();

// The kernel's id of the calling thread.
uint32_t CurrentThreadId();

} // namespace platform
