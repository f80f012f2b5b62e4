// Crash handler and crash report: installing, the report text, "crash.txt" and the demo.
#include "crash/CrashHandler.h"

#include "app/KavoAppBase.h"
#include "base/StringUtils.h"
#include "platform/fault/CrashSignals.h"
#include "platform/fault/ExceptionCodes.h"
#include "platform/files/Files.h"
#include "platform/system/Library.h"
#include "platform/system/SystemVersion.h"

#include <cstdio>
#include <cstdlib>

namespace Kavo
{

const CrashHandler::ExceptionName CrashHandler::ExceptionNames[30] = {
    {platform::kExceptionSegmentNotification, "Segment Notification"},
    {platform::kExceptionBreakpoint, "Breakpoint"},
    {platform::kExceptionSingleStep, "Single step"},
    {platform::kExceptionWait0, "Wait 0"},
    {platform::kExceptionAbandonedWait0, "Abandoned Wait 0"},
    {platform::kExceptionUserApc, "User APC"},
    {platform::kExceptionTimeout, "Timeout"},
    {platform::kExceptionPending, "Pending"},
    {platform::kExceptionGuardPageViolation, "Guard Page Violation"},
    {platform::kExceptionDatatypeMisalignment, "Data Type Misalignment"},
    {platform::kExceptionAccessViolation, "Access Violation"},
    {platform::kExceptionInPageError, "In Page Error"},
    {platform::kExceptionNoMemory, "No Memory"},
    {platform::kExceptionIllegalInstruction, "Illegal Instruction"},
    {platform::kExceptionNoncontinuable, "Noncontinuable Exception"},
    {platform::kExceptionInvalidDisposition, "Invalid Disposition"},
    {platform::kExceptionArrayBoundsExceeded, "Array Bounds Exceeded"},
    {platform::kExceptionFloatDenormalOperand, "Float Denormal Operand"},
    {platform::kExceptionFloatDivideByZero, "Divide by Zero"},
    {platform::kExceptionFloatInexactResult, "Float Inexact Result"},
    {platform::kExceptionFloatInvalidOperation, "Float Invalid Operation"},
    {platform::kExceptionFloatOverflow, "Float Overflow"},
    {platform::kExceptionFloatStackCheck, "Float Stack Check"},
    {platform::kExceptionFloatUnderflow, "Float Underflow"},
    {platform::kExceptionIntegerDivideByZero, "Integer Divide by Zero"},
    {platform::kExceptionIntegerOverflow, "Integer Overflow"},
    {platform::kExceptionPrivilegedInstruction, "Privileged Instruction"},
    {platform::kExceptionStackOverflow, "Stack Overflow"},
    {platform::kExceptionControlCExit, "Ctrl+C Exit"},
    {0xFFFFFFFF, ""},
};

std::string CrashHandler::ErrorTitle;
std::string CrashHandler::ReportText;
std::string CrashHandler::UserText;
std::string CrashHandler::AttachmentPath;
bool CrashHandler::AttachFile = false;
std::string CrashHandler::ServerHost;
bool CrashHandler::WindowsDone = false;
int CrashHandler::DotCount = 0;
const std::wstring CrashHandler::ErrorIntroText = L"An unexpected error has occured!";
const std::wstring CrashHandler::DetailsIntroText =
    L"Please help out by providing as much information as you can about this crash.";
const std::wstring CrashHandler::ConnectFailedText = L"Failed to connect to server.";
CrashWindowHost* CrashHandler::sWindowHost = nullptr;

namespace
{

void ReportCrash(const platform::CrashRecord& record)
{
    CrashHandler::ExceptionFilter(record);
}

// The one static instance; the previous handlers come back at exit, after the static objects
// made later are gone.
CrashHandler gCrashHandler;
const int gRestoreAtExit = std::atexit(&CrashHandler::Restore);

} // namespace

// Named by the link of programs that install the crash handler (kavo_crash_reports), so that
// this file and its static instance are linked in.
extern "C" void KavoCrashHandlerLink() {}

CrashHandler::CrashHandler()
{
    Install();
}

void CrashHandler::Install()
{
    platform::InstallCrashHandlers(&ReportCrash);
}

void CrashHandler::Restore()
{
    platform::RestoreCrashHandlers();
}

long CrashHandler::ExceptionFilter(const platform::CrashRecord& record)
{
    if (KavoAppBase* app = gKavoAppForCrash.load()) app->CrashOccurred();
    BuildReport(record);
    return 0;
}

std::string CrashHandler::MakeReportText(const platform::CrashRecord& record, bool symbols,
                                         std::string& title)
{
    std::string report;
    const ExceptionName* found = nullptr;
    for (const ExceptionName* row = ExceptionNames; row->code != 0xFFFFFFFF; ++row)
        if (row->code == record.exceptionCode)
        {
            found = row;
            break;
        }
    unsigned long long address = record.address;
    if (found && *found->name)
        report += StrFormat("Exception: %s (code 0x%x) at address %016llX in thread %X\r\n", found->name,
                            record.exceptionCode, address, record.threadId);
    else
        report += StrFormat("Unknown exception: (code 0x%x) at address %016llX in thread %X\r\n",
                            record.exceptionCode, address, record.threadId);

    // An address no module holds reads as an empty module at 0000:00000000.
    char module[2048] = "";
    uint32_t section = 0, offset = 0;
    GetLogicalAddress(record.address, module, sizeof(module), section, offset);
    report += "Module: " + GetFileNamePart(module) + "\r\n";
    report += StrFormat("Logical Address: %04X:%08X\r\n", section, offset);
    report += "\r\n";
    title = StrFormat("Exception at %04X:%08X", section, offset);

    std::string stack = symbols ? WalkStack(record) : std::string();
    if (stack.empty()) stack = WalkFrames(record);
    report += stack + "\r\n";

    const platform::CrashRegisters& r = record.registers;
    using u64 = unsigned long long;
    report += StrFormat("RAX:%016llX RBX:%016llX RCX:%016llX RDX:%016llX\r\n", u64(r.rax), u64(r.rbx),
                        u64(r.rcx), u64(r.rdx));
    report += StrFormat("RSI:%016llX RDI:%016llX R8:%016llX R9:%016llX\r\n", u64(r.rsi), u64(r.rdi),
                        u64(r.r8), u64(r.r9));
    report += StrFormat("R10:%016llX R11:%016llX R12:%016llX R13:%016llX\r\n", u64(r.r10), u64(r.r11),
                        u64(r.r12), u64(r.r13));
    report += StrFormat("R14:%016llX R15:%016llX\r\n", u64(r.r14), u64(r.r15));
    report += StrFormat("RIP:%016llX RSP:%016llX  RBP:%016llX\r\n", u64(r.rip), u64(r.rsp), u64(r.rbp));
    report += StrFormat("CS:%04X SS:%04X FS:%04X GS:%04X\r\n", r.cs, r.ss, r.fs, r.gs);
    report += StrFormat("Flags:%08X\r\n", unsigned(r.flags));
    report += "\r\n";
    report += GetSystemInfo();
    return report;
}

void CrashHandler::BuildReport(const platform::CrashRecord& record)
{
    bool symbols = LoadImageHelp();
    std::string title;
    std::string report = MakeReportText(record, symbols, title);

    KavoAppBase* app = gKavoAppForCrash.load();
    if (app)
    {
        std::string block = app->GetCrashInfoText();
        if (!block.empty()) report += "\r\n" + block;
        app->CopyToClipboard(report);
    }
    if (symbols) LookupMapFile(report);
    WriteCrashFile(report);

    if (app)
    {
        if (app->mRecordingDemo)
        {
            // The demo ends at the crash's update with a no-op event.
            app->WriteDemoEventHeader();
            app->mDemo.mBuffer.WriteNumBits(0, 1);
            app->mDemo.mBuffer.WriteNumBits(DemoStream::kFiller, 5);
            app->WriteDemoFile();
            AttachmentPath = app->mDemoFileName;
        }
        AttachFile = app->mRecordingDemo;
        std::string attachment = app->GetCrashReportAttachment();
        if (!attachment.empty())
        {
            AttachmentPath = attachment;
            AttachFile = true;
        }
        app->mRecordingDemo = false;
        app->mPlayingDemo = false;
    }

    ShowErrorWindow(report, title);
    UnloadImageHelp();
}

std::string CrashHandler::GetSystemInfo()
{
    platform::SystemVersion version = platform::GetSystemVersion();
    std::string text =
        "System Ver: " + version.system + " " + version.release + " " + version.machine + "\r\n";
    KavoAppBase* app = gKavoAppForCrash.load();
    if (!app) return text;
    const char* const modules[2][2] = {{"ddraw.dll", "DDraw Ver: "}, {"dsound.dll", "DSound Ver: "}};
    for (const auto& module : modules)
    {
        platform::LibraryHandle library = platform::LoadLibrary(module[0]);
        if (!library) continue;
        text += module[1] + app->GetProductVersion(module[0]) + "\r\n";
        platform::FreeLibrary(library);
    }
    return text;
}

std::string CrashHandler::GetFileNamePart(const std::string& path)
{
    size_t slash = path.rfind('/');
    size_t backslash = path.rfind('\\');
    size_t last = slash == std::string::npos                            ? backslash
                  : backslash == std::string::npos || slash > backslash ? slash
                                                                        : backslash;
    return last == std::string::npos ? path : path.substr(last + 1);
}

void CrashHandler::WriteCrashFile(const std::string& report)
{
    std::FILE* file = platform::OpenFile("crash.txt", "wb");
    if (!file) return;
    std::fwrite(report.data(), 1, report.size(), file);
    std::fputs("\r\n", file);
    std::fflush(file);
    std::fclose(file);
}

} // namespace Kavo
