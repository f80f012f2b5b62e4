// The crash report's text, logical addresses, the two walks and what a report leaves behind.
#include "../app/AppTestSupport.h"
#include "CrashTestSupport.h"
#include "ScriptedCrashWindowHost.h"
#include "app/DemoFile.h"
#include "base/StringUtils.h"
#include "crash/CrashHandler.h"
#include "platform/fault/CrashSignals.h"
#include "platform/fault/ExceptionCodes.h"
#include "platform/fault/ModuleMap.h"
#include "platform/fault/StackWalk.h"
#include "platform/system/SystemVersion.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <vector>

using Kavo::CrashHandler;

namespace crashtest
{

[[gnu::noinline]] int KnownFunction(int x)
{
    return x * 3 + 1;
}

} // namespace crashtest

namespace
{

using u64 = unsigned long long;

// A fault at an address no module holds, on a stack the frame-pointer walk read as one frame.
platform::CrashRecord RecordAt(uint64_t address, uint32_t code)
{
    platform::CrashRecord record;
    record.exceptionCode = code;
    record.address = address;
    record.threadId = 0x4BCE;
    platform::CrashRegisters& r = record.registers;
    r.rax = 0x1111;
    r.rbx = 0x2222;
    r.rcx = 3;
    r.rdx = 4;
    r.rsi = 5;
    r.rdi = 6;
    r.r8 = 8;
    r.r9 = 9;
    r.r10 = 10;
    r.r11 = 11;
    r.r12 = 12;
    r.r13 = 13;
    r.r14 = 14;
    r.r15 = 0xFFFFFFFFFFFFFFFF;
    r.rip = address;
    r.rsp = 0x7FFC00001000;
    r.rbp = 0x7FFC00001040;
    r.flags = 0x10246;
    r.cs = 0x33;
    r.ss = 0x2B;
    record.pointerFrameCount = 1;
    record.pointerFrames[0].pc = address;
    record.pointerFrames[0].frame = r.rbp;
    return record;
}

std::string SystemLine()
{
    platform::SystemVersion v = platform::GetSystemVersion();
    return "System Ver: " + v.system + " " + v.release + " " + v.machine + "\r\n";
}

} // namespace

// The whole report of a fault outside every module, without an application: the address lines
// read as an empty module at 0000:00000000, and the registers in their 64-bit lines.
TEST(CrashReport, WholeTextOfAFaultOutsideEveryModule)
{
    std::string title;
    std::string report =
        CrashHandler::MakeReportText(RecordAt(0x10, platform::kExceptionAccessViolation), false, title);
    EXPECT_EQ(report,
              "Exception: Access Violation (code 0xc0000005) at address 0000000000000010 in thread 4BCE\r\n"
              "Module: \r\n"
              "Logical Address: 0000:00000000\r\n"
              "\r\n"
              "0000000000000010  00007FFC00001040  0000:00000000 \r\n"
              "\r\n"
              "RAX:0000000000001111 RBX:0000000000002222 RCX:0000000000000003 RDX:0000000000000004\r\n"
              "RSI:0000000000000005 RDI:0000000000000006 R8:0000000000000008 R9:0000000000000009\r\n"
              "R10:000000000000000A R11:000000000000000B R12:000000000000000C R13:000000000000000D\r\n"
              "R14:000000000000000E R15:FFFFFFFFFFFFFFFF\r\n"
              "RIP:0000000000000010 RSP:00007FFC00001000  RBP:00007FFC00001040\r\n"
              "CS:0033 SS:002B FS:0000 GS:0000\r\n"
              "Flags:00010246\r\n"
              "\r\n" +
                  SystemLine());
    EXPECT_EQ(title, "Exception at 0000:00000000");
}

TEST(CrashReport, ExceptionLines)
{
    struct Case
    {
        uint32_t code;
        const char* line;
    } cases[] = {
        {platform::kExceptionStackOverflow, "Exception: Stack Overflow (code 0xc00000fd) at address"},
        {platform::kExceptionIntegerDivideByZero,
         "Exception: Integer Divide by Zero (code 0xc0000094) at address"},
        {platform::kExceptionWait0, "Exception: Wait 0 (code 0x0) at address"},
        {platform::kExceptionCxx, "Unknown exception: (code 0xe06d7363) at address"},
        {0xFFFFFFFF, "Unknown exception: (code 0xffffffff) at address"},
    };
    for (const Case& c : cases)
    {
        std::string title;
        std::string report = CrashHandler::MakeReportText(RecordAt(0x10, c.code), false, title);
        EXPECT_EQ(report.substr(0, std::string(c.line).size()), c.line);
    }
}

TEST(CrashReport, FileNamePart)
{
    EXPECT_EQ(CrashHandler::GetFileNamePart("D:\\Games\\x/y\\prog.exe"), "prog.exe");
    EXPECT_EQ(CrashHandler::GetFileNamePart("/usr/lib/x\\y/libz.so"), "libz.so");
    EXPECT_EQ(CrashHandler::GetFileNamePart("prog"), "prog");
    EXPECT_EQ(CrashHandler::GetFileNamePart("dir/"), "");
}

TEST(CrashReport, ExceptionCodesOfTheFaultSignals)
{
    const uint64_t sp = 0x7FFC00100000;
    struct Case
    {
        int signal, code;
        uint64_t address;
        uint32_t expected;
    } cases[] = {
        {SIGSEGV, SEGV_MAPERR, 0, platform::kExceptionAccessViolation},
        {SIGSEGV, SEGV_ACCERR, 0x1234, platform::kExceptionAccessViolation},
        {SIGSEGV, SEGV_ACCERR, sp - 8, platform::kExceptionStackOverflow},
        {SIGSEGV, SEGV_MAPERR, sp - 65535, platform::kExceptionStackOverflow},
        {SIGSEGV, SEGV_MAPERR, sp - 65537, platform::kExceptionAccessViolation},
        {SIGBUS, BUS_ADRALN, 1, platform::kExceptionDatatypeMisalignment},
        {SIGBUS, BUS_ADRERR, 1, platform::kExceptionInPageError},
        {SIGFPE, FPE_INTDIV, 0, platform::kExceptionIntegerDivideByZero},
        {SIGFPE, FPE_INTOVF, 0, platform::kExceptionIntegerOverflow},
        {SIGFPE, FPE_FLTDIV, 0, platform::kExceptionFloatDivideByZero},
        {SIGFPE, FPE_FLTINV, 0, platform::kExceptionFloatInvalidOperation},
        {SIGFPE, FPE_FLTSUB, 0, platform::kExceptionArrayBoundsExceeded},
        {SIGILL, ILL_ILLOPC, 0, platform::kExceptionIllegalInstruction},
        {SIGILL, ILL_PRVOPC, 0, platform::kExceptionPrivilegedInstruction},
        {SIGTRAP, TRAP_BRKPT, 0, platform::kExceptionBreakpoint},
        {SIGTRAP, TRAP_TRACE, 0, platform::kExceptionSingleStep},
        {SIGABRT, SI_TKILL, 0, platform::kExceptionFatalAppExit},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::ExceptionCodeForSignal(c.signal, c.code, c.address, sp), c.expected)
            << c.signal << " " << c.code << " " << std::hex << c.address;
}

TEST(CrashReport, LogicalAddressesOfTheProgram)
{
    uint64_t address = reinterpret_cast<uint64_t>(&crashtest::KnownFunction);
    platform::ModuleInfo module;
    ASSERT_TRUE(platform::ModuleMap::FindModule(address, module));
    const platform::ModuleSection* text = nullptr;
    for (const platform::ModuleSection& s : module.sections)
        if (s.name == ".text") text = &s;
    ASSERT_NE(text, nullptr);

    char path[2048] = "";
    uint32_t section = 0, offset = 0;
    ASSERT_TRUE(CrashHandler::GetLogicalAddress(address, path, sizeof(path), section, offset));
    EXPECT_EQ(CrashHandler::GetFileNamePart(path), "crash_tests");
    EXPECT_EQ(section, text->number);
    EXPECT_EQ(offset, address - module.bias - text->address);

    // Both ends of a section belong to it.
    uint64_t end = module.bias + text->address + text->size;
    ASSERT_TRUE(CrashHandler::GetLogicalAddress(end, path, sizeof(path), section, offset));
    EXPECT_EQ(section, text->number);
    EXPECT_EQ(offset, text->size);

    // A module path longer than the buffer is cut to fit.
    char small[8] = "";
    CrashHandler::GetLogicalAddress(address, small, sizeof(small), section, offset);
    EXPECT_EQ(std::string(small), std::string(path).substr(0, 7));

    // Memory of no module: false, and nothing written.
    std::vector<char> heap(64);
    char untouched[16] = "before";
    section = 77;
    offset = 88;
    EXPECT_FALSE(CrashHandler::GetLogicalAddress(reinterpret_cast<uint64_t>(heap.data()), untouched,
                                                 sizeof(untouched), section, offset));
    EXPECT_EQ(std::string(untouched), "before");
    EXPECT_EQ(section, 77u);
    EXPECT_EQ(offset, 88u);
}

// The unwinder's frames named by the symbol reader, with their source lines; frames without a
// symbol by their logical address; the walk's end.
TEST(CrashReport, SymbolicWalkLines)
{
    ASSERT_TRUE(CrashHandler::LoadImageHelp());
    uint64_t known = reinterpret_cast<uint64_t>(&crashtest::KnownFunction);
    platform::CrashRecord record = RecordAt(0x10, platform::kExceptionAccessViolation);
    record.unwindFrameCount = 2;
    record.unwindFrames[0] = {known, 0x7FFC00001000, {1, 2, 3, 4}};
    record.unwindFrames[1] = {0x10, 0x7FFC00001100, {}};
    record.unwindError = -7;
    std::string text = CrashHandler::WalkStack(record);
    std::string first = Kavo::StrFormat("%016llX %016llX crashtest::KnownFunction(int)+0\r\n",
                                        u64(0x7FFC00001000), u64(known));
    EXPECT_EQ(text.substr(0, first.size()), first);
    EXPECT_NE(text.find("tests/crash/CrashReportTest.cpp line "), std::string::npos) << text;
    std::string rest = "Params: 0000000000000001 0000000000000002 0000000000000003 0000000000000004\r\n\r\n"
                       "00007FFC00001100 0000000000000010 0000:00000000 \r\n"
                       "Params: 0000000000000000 0000000000000000 0000000000000000 0000000000000000\r\n\r\n"
                       "StackWalk failed (error -7)\r\n";
    ASSERT_GE(text.size(), rest.size());
    EXPECT_EQ(text.substr(text.size() - rest.size()), rest);

    // A first frame without a frame address gives no text: the report then takes the
    // frame-pointer walk. A walk that failed at once gives its failure alone.
    record.unwindFrames[0].frame = 0;
    EXPECT_EQ(CrashHandler::WalkStack(record), "");
    record.unwindFrameCount = 0;
    record.unwindError = -5;
    EXPECT_EQ(CrashHandler::WalkStack(record), "StackWalk failed (error -5)\r\n");
    std::string title;
    record.unwindError = 0;
    std::string report = CrashHandler::MakeReportText(record, true, title);
    EXPECT_NE(report.find("\r\n\r\n0000000000000010  00007FFC00001040  0000:00000000 \r\n\r\n"),
              std::string::npos);
    CrashHandler::UnloadImageHelp();

    // Without the symbol library ("IMAGEHLP.DLL" marked missing) nothing of it binds.
    setenv("KAVO_MISSING_LIBRARIES", "imagehlp.dll", 1);
    EXPECT_FALSE(CrashHandler::LoadImageHelp());
    CrashHandler::UnloadImageHelp();
    unsetenv("KAVO_MISSING_LIBRARIES");
}

// The frame-pointer walk reads every word through the safe read: corrupt frame pointers end it,
// and it stops after 256 frames.
TEST(CrashReport, FramePointerWalkIsBounded)
{
    std::vector<uint64_t> stack(2 * 300 + 2, 0);
    auto at = [&](size_t word) { return reinterpret_cast<uint64_t>(&stack[word]); };
    platform::CrashFrame frames[platform::kMaxCrashFrames];

    // A frame pointer into nothing: the faulting frame alone.
    EXPECT_EQ(platform::WalkFramePointers(0x1234, 0x10, frames, platform::kMaxCrashFrames), 1);
    EXPECT_EQ(frames[0].pc, 0x1234u);
    EXPECT_EQ(frames[0].frame, 0x10u);

    // A chain of three, then a saved pointer that is not a multiple of 8.
    stack[0] = at(4);
    stack[1] = 0xA1;
    stack[4] = at(8);
    stack[5] = 0xA2;
    stack[8] = at(12) + 3;
    stack[9] = 0xA3;
    ASSERT_EQ(platform::WalkFramePointers(0x1234, at(0), frames, platform::kMaxCrashFrames), 3);
    EXPECT_EQ(frames[1].pc, 0xA1u);
    EXPECT_EQ(frames[1].frame, at(4));
    EXPECT_EQ(frames[2].pc, 0xA2u);
    // A saved pointer that does not lie above its frame, or that points at nothing readable.
    stack[8] = at(4);
    EXPECT_EQ(platform::WalkFramePointers(0x1234, at(0), frames, platform::kMaxCrashFrames), 3);
    stack[8] = at(8);
    EXPECT_EQ(platform::WalkFramePointers(0x1234, at(0), frames, platform::kMaxCrashFrames), 3);
    stack[4] = 0xFFFFFFFFFFFF0000;
    EXPECT_EQ(platform::WalkFramePointers(0x1234, at(0), frames, platform::kMaxCrashFrames), 2);

    // An endless rising chain stops at 256 frames.
    for (size_t i = 0; i + 2 < stack.size(); i += 2)
    {
        stack[i] = at(i + 2);
        stack[i + 1] = 0xB0 + i;
    }
    EXPECT_EQ(platform::WalkFramePointers(0x1234, at(0), frames, platform::kMaxCrashFrames),
              platform::kMaxCrashFrames);
}

namespace
{

class ReportingApp : public apptest::TestApp
{
public:
    std::string attachment;
    std::string infoText = "unset";
    std::string GetCrashReportAttachment() override { return attachment; }
    std::string GetCrashInfoText() override
    {
        return infoText == "unset" ? apptest::TestApp::GetCrashInfoText() : infoText;
    }
};

struct ReportRun
{
    std::vector<std::string> log;
    std::string shown;
};

ReportRun BuildWithCloseNow(const platform::CrashRecord& record)
{
    platform::FakeClock clock;
    crashtest::ScriptedCrashWindowHost host(clock);
    host.presses.push_back({0, Kavo::CrashWindowHost::Button::Cancel, Kavo::CrashWindowHost::Window::Error});
    CrashHandler::SetWindowHost(&host);
    CrashHandler::BuildReport(record);
    CrashHandler::SetWindowHost(nullptr);
    return {host.log, host.shownReport};
}

} // namespace

// A crash while a demo is recorded: the report takes the application's block, goes to
// crash.txt and the windows, and the demo is saved with a closing no-op event at the crash's
// update and becomes the attachment; recording and playing end.
TEST(CrashReport, ReportFileDemoAndAttachment)
{
    crashtest::ScratchFolder folder("report-");
    platform::FakeClock clock;
    ReportingApp app;
    app.mRecordingDemo = true;
    app.mDemoFileName = folder.Path() + "crashed.dmo";
    app.mUpdateCount = 40;
    CrashHandler::AttachFile = false;
    CrashHandler::AttachmentPath.clear();

    ReportRun run = BuildWithCloseNow(RecordAt(0x10, platform::kExceptionAccessViolation));
    std::string written = crashtest::ReadText("crash.txt");
    ASSERT_GE(written.size(), 2u);
    EXPECT_EQ(written, run.shown + "\r\n");
    std::string tail = "DDraw Ver: \r\nDSound Ver: \r\n\r\n" + app.GetCrashInfoText();
    EXPECT_EQ(run.shown.substr(run.shown.size() - tail.size()), tail);
    EXPECT_EQ(run.log, (std::vector<std::string>{"show error An unexpected error has occured! send=0/1",
                                                 "close all"}));
    EXPECT_EQ(CrashHandler::ReportText, run.shown);
    EXPECT_EQ(CrashHandler::ErrorTitle, "Exception at 0000:00000000");
    EXPECT_TRUE(CrashHandler::AttachFile);
    EXPECT_EQ(CrashHandler::AttachmentPath, app.mDemoFileName);
    EXPECT_FALSE(app.mRecordingDemo);
    EXPECT_FALSE(app.mPlayingDemo);

    Kavo::DemoFileContents demo;
    std::string error;
    ASSERT_TRUE(Kavo::ReadDemoFile(app.mDemoFileName, app.mProductVersion, demo, error)) << error;
    EXPECT_EQ(demo.finalUpdateCount, 40u);
    Kavo::DemoStream stream;
    stream.mBuffer = demo.events;
    stream.mBuffer.SeekFront();
    // Two fillers of 15 updates, then the crash's own no-op event at update 40 (the bits that
    // fill the last byte are no event).
    std::vector<int> types;
    while (stream.mBuffer.GetBitSize() - stream.mBuffer.GetReadBitPos() >= 10)
    {
        stream.ReadHeader(0);
        if (!stream.HeaderPending()) break;
        EXPECT_FALSE(stream.PendingIsShort());
        types.push_back(stream.PendingType());
        stream.TakeHeader();
    }
    EXPECT_EQ(types, (std::vector<int>{31, 31, 31}));
    EXPECT_EQ(stream.LastEventUpdate(), 40);
}

TEST(CrashReport, TheApplicationsAttachmentWinsAndAnEmptyBlockAddsNothing)
{
    crashtest::ScratchFolder folder("attach-");
    ReportingApp app;
    app.mPlayingDemo = true;
    app.attachment = "saved.dat";
    app.infoText = "";
    CrashHandler::AttachFile = false;
    ReportRun run = BuildWithCloseNow(RecordAt(0x10, platform::kExceptionAccessViolation));
    EXPECT_TRUE(CrashHandler::AttachFile);
    EXPECT_EQ(CrashHandler::AttachmentPath, "saved.dat");
    EXPECT_FALSE(app.mPlayingDemo);
    EXPECT_EQ(run.shown.substr(run.shown.size() - 14), "DSound Ver: \r\n");
    EXPECT_TRUE(platform::FindFiles("*.dmo").empty());
}

// The application's crash pointer goes with the application: a report made afterwards has no
// application block and offers no sending.
TEST(CrashReport, NoApplicationAfterItsDestruction)
{
    {
        apptest::TestApp app;
        EXPECT_EQ(Kavo::gKavoAppForCrash.load(), &app);
    }
    EXPECT_EQ(Kavo::gKavoAppForCrash.load(), nullptr);
    crashtest::ScratchFolder folder("noapp-");
    ReportRun run = BuildWithCloseNow(RecordAt(0x10, platform::kExceptionAccessViolation));
    EXPECT_EQ(run.shown.substr(run.shown.size() - SystemLine().size()), SystemLine());
    EXPECT_EQ(run.log.front(), "show error An unexpected error has occured! send=0/0");
}
