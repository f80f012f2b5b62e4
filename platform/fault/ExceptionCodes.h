#pragma once

#include <cstdint>

// The exception codes a crash report names, with their Windows values: the report prints them
// ("code 0xc0000005") and its name table is keyed by them, so they stay as Windows defines them.
// platform::ExceptionCodeForSignal maps this system's fault signals onto them.
namespace platform
{

constexpr uint32_t kExceptionSegmentNotification = 0x40000005;
constexpr uint32_t kExceptionFatalAppExit = 0x40000015; // abort() outside an uncaught exception
constexpr uint32_t kExceptionBreakpoint = 0x80000003;
constexpr uint32_t kExceptionSingleStep = 0x80000004;
constexpr uint32_t kExceptionWait0 = 0x00000000;
constexpr uint32_t kExceptionAbandonedWait0 = 0x00000080;
constexpr uint32_t kExceptionUserApc = 0x000000C0;
constexpr uint32_t kExceptionTimeout = 0x00000102;
constexpr uint32_t kExceptionPending = 0x00000103;
constexpr uint32_t kExceptionGuardPageViolation = 0x80000001;
constexpr uint32_t kExceptionDatatypeMisalignment = 0x80000002;
constexpr uint32_t kExceptionAccessViolation = 0xC0000005;
constexpr uint32_t kExceptionInPageError = 0xC0000006;
constexpr uint32_t kExceptionNoMemory = 0xC0000017;
constexpr uint32_t kExceptionIllegalInstruction = 0xC000001D;
constexpr uint32_t kExceptionNoncontinuable = 0xC0000025;
constexpr uint32_t kExceptionInvalidDisposition = 0xC0000026;
constexpr uint32_t kExceptionArrayBoundsExceeded = 0xC000008C;
constexpr uint32_t kExceptionFloatDenormalOperand = 0xC000008D;
constexpr uint32_t kExceptionFloatDivideByZero = 0xC000008E;
constexpr uint32_t kExceptionFloatInexactResult = 0xC000008F;
constexpr uint32_t kExceptionFloatInvalidOperation = 0xC0000090;
constexpr uint32_t kExceptionFloatOverflow = 0xC0000091;
constexpr uint32_t kExceptionFloatStackCheck = 0xC0000092;
constexpr uint32_t kExceptionFloatUnderflow = 0xC0000093;
constexpr uint32_t kExceptionIntegerDivideByZero = 0xC0000094;
constexpr uint32_t kExceptionIntegerOverflow = 0xC0000095;
constexpr uint32_t kExceptionPrivilegedInstruction = 0xC0000096;
constexpr uint32_t kExceptionStackOverflow = 0xC00000FD;
constexpr uint32_t kExceptionControlCExit = 0xC000013A;
// An uncaught C++ exception (the code the C++ runtime of that system raises for a throw).
constexpr uint32_t kExceptionCxx = 0xE06D7363;

} // namespace platform
