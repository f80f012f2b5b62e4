#pragma once

#include "platform/fault/CrashRecord.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Kavo
{

class CrashWindowHost;

// The process-wide crash handler. Its one static instance installs it while static objects are
// built (programs that want it link with kavo_crash_reports, crash/CMakeLists.txt), and the
// previous handlers come back at exit.
//
// The road of one crash: a fault signal or an uncaught exception on any thread -> the signal
// handler keeps registers and stack walks (platform/fault/CrashSignals.h) -> on the crash watcher
// thread: ExceptionFilter -> KavoAppBase::CrashOccurred -> BuildReport: report text, clipboard,
// link-map names and lines, "crash.txt", the demo being recorded, the crash windows (and the
// upload, when ServerHost is set) -> the process ends with the fault's signal.
//
// All state is process-wide and static, shared by the report, the windows and the upload.
class CrashHandler
{
public:
    // Installs (the static instance's construction).
    CrashHandler();

    // --- Crash handler and report ---
    static void Install();
    static void Restore();
    // Runs on the crash watcher thread; always 0: the process then ends with its signal.
    static long ExceptionFilter(const platform::CrashRecord& record);
    static void BuildReport(const platform::CrashRecord& record);
    // The report text up to the application's block, and the crash's title. symbols: the
    // symbolic walk is used (LoadImageHelp succeeded).
    static std::string MakeReportText(const platform::CrashRecord& record, bool symbols, std::string& title);
    static std::string GetSystemInfo();
    static std::string GetFileNamePart(const std::string& path);
    static void WriteCrashFile(const std::string& report);

    struct ExceptionName
    {
        uint32_t code;
        const char* name;
    };
    // 29 names and a closing row of code 0xFFFFFFFF, searched from the top.
    static const ExceptionName ExceptionNames[30];

    // --- Stack walk and symbol lookup ---
    // True when the unwinder and the symbol reader are there ("IMAGEHLP.DLL" stands for them
    // among the run-time modules) and the process's symbols could be read.
    static bool LoadImageHelp();
    static void UnloadImageHelp();
    // Module path (into a buffer of capacity bytes, cut to fit) and logical address of a code
    // address. False when no loaded object, or none of its sections, holds it; the outputs are
    // written only as far as they were found.
    static bool GetLogicalAddress(uint64_t address, char* modulePath, size_t capacity, uint32_t& section,
                                  uint32_t& offset);
    // The unwinder's frames with symbol names and source lines (empty when it found none).
    static std::string WalkStack(const platform::CrashRecord& record);
    // The frame-pointer walk's frames with logical addresses (never empty).
    static std::string WalkFrames(const platform::CrashRecord& record);
    // Rewrites every logical address of the report into the symbol and source line that the
    // first "*.map" file of the current folder gives for it.
    static void LookupMapFile(std::string& report);
    // True when every character is a hexadecimal digit (an empty text gives 0).
    static bool ParseHex(std::string_view text, uint32_t& value);

    // --- Crash windows ---
    // Shows the crash windows on the window host (the installed one, else windows of their own
    // on the desktop, or stderr without one) and returns when they are done.
    static void ShowErrorWindow(const std::string& report, const std::string& title);
    // Tests install a scripted host; null restores the choice above.
    static void SetWindowHost(CrashWindowHost* host) { sWindowHost = host; }

    // --- Report upload ---
    // Thread procedure: sends the upload request to ServerHost through gHTTPTransfer.
    static void SubmitReport();
    // The whole upload request (request line, headers, multipart body).
    static std::string MakeUploadRequest();

    // --- Process-wide state ---
    static std::string ErrorTitle;
    static std::string ReportText;
    static std::string UserText;
    static std::string AttachmentPath;
    static bool AttachFile;
    // The report server, "host" or "host:port"; empty (the default) offers no upload.
    static std::string ServerHost;
    static bool WindowsDone;
    static int DotCount;
    static const std::wstring ErrorIntroText;
    static const std::wstring DetailsIntroText;
    static const std::wstring ConnectFailedText;

private:
    static CrashWindowHost* sWindowHost;
};

} // namespace Kavo
