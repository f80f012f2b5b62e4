// The crash windows' state machine end to end: the scripted user, the real upload and HTTP
// client, and the loopback server as the report server.
#include "crash/CrashWindows.h"
#include "../app/AppTestSupport.h"
#include "CrashTestSupport.h"
#include "LoopbackServer.h"
#include "ScriptedCrashWindowHost.h"
#include "crash/CrashHandler.h"
#include "crash/HTTPTransfer.h"

#include <gtest/gtest.h>

using crashtest::LoopbackServer;
using Kavo::CrashHandler;
using Kavo::CrashWindows;
using Button = Kavo::CrashWindowHost::Button;
using Window = Kavo::CrashWindowHost::Window;

namespace
{

const std::string kIntro = "show error An unexpected error has occured! send=";
const std::string kDetails =
    "show details Please help out by providing as much information as you can about this crash. continue=1";
const std::string kRetryBox = "retry box Connection Failed: Failed to connect to server.";
const LoopbackServer::Script kAccepts = {
    LoopbackServer::ReadRequest(), LoopbackServer::Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"),
    LoopbackServer::Close()};
const LoopbackServer::Script kFails = {LoopbackServer::ReadRequest(),
                                       LoopbackServer::Send("HTTP/1.1 500 Oops\r\n\r\n"),
                                       LoopbackServer::Close()};

class CrashWindowsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Kavo::gHTTPTransfer.Reset();
        CrashHandler::ReportText = "the report\r\n";
        CrashHandler::ErrorTitle = "Exception at 000F:00001234";
        CrashHandler::UserText.clear();
        CrashHandler::AttachFile = false;
        CrashHandler::DotCount = 0;
    }
    void TearDown() override { CrashHandler::ServerHost.clear(); }

    // Runs the windows against the server (none: no report server).
    void Run(LoopbackServer* server, bool haveApplication = true)
    {
        CrashHandler::ServerHost = server ? server->Address() : "";
        CrashWindows windows(host, Kavo::gHTTPTransfer, &CrashHandler::SubmitReport);
        windows.Run(CrashHandler::ReportText, server != nullptr, haveApplication);
        EXPECT_EQ(windows.GetState(), CrashWindows::State::Done);
    }

    platform::FakeClock clock;
    apptest::TestApp app;
    crashtest::ScriptedCrashWindowHost host{clock};
};

} // namespace

TEST_F(CrashWindowsTest, CloseNowAtOnceSendsNothing)
{
    LoopbackServer server({});
    host.presses.push_back({0, Button::Cancel, Window::Error});
    Run(&server);
    EXPECT_EQ(host.log, (std::vector<std::string>{kIntro + "1/1", "close all"}));
    EXPECT_EQ(Kavo::gHTTPTransfer.GetResult(), Kavo::HTTPTransfer::kIdle);
    EXPECT_TRUE(server.Finish().empty());
}

TEST_F(CrashWindowsTest, SendingNeedsAServerAndTheApplication)
{
    host.presses.push_back({0, Button::Accept, Window::Error});
    host.presses.push_back({10, Button::Close, Window::Error});
    Run(nullptr);
    EXPECT_EQ(host.log, (std::vector<std::string>{kIntro + "0/1", "close all"}));

    LoopbackServer server({});
    host.log.clear();
    host.presses.push_back({20, Button::Accept, Window::Error});
    host.presses.push_back({30, Button::Cancel, Window::Error});
    Run(&server, false);
    EXPECT_EQ(host.log, (std::vector<std::string>{kIntro + "1/0", "close all"}));
}

// Send Report, a description, Continue: the upload reaches the server byte for byte.
TEST_F(CrashWindowsTest, SendsTheReportWithTheUsersText)
{
    LoopbackServer server({kAccepts});
    host.userText = "it broke\r\nwhile sliding";
    host.presses.push_back({0, Button::Accept, Window::Error});
    host.presses.push_back({500, Button::Accept, Window::Details});
    Run(&server);
    EXPECT_EQ(host.log, (std::vector<std::string>{kIntro + "1/1", "hide 0", kDetails, "hide 1",
                                                  "show progress Please Wait", "close all"}));
    EXPECT_EQ(CrashHandler::UserText, "it broke\r\nwhile sliding");
    std::vector<std::string> received = server.Finish();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], CrashHandler::MakeUploadRequest());
    EXPECT_NE(received[0].find("name=\"usertext\"\r\n\r\nit broke\r\nwhile sliding\r\n"), std::string::npos);
    EXPECT_EQ(Kavo::gHTTPTransfer.GetContent(), "ok");
}

// A failed upload offers a retry; Retry sends the same request again, Cancel ends the windows.
TEST_F(CrashWindowsTest, FailureRetryAndCancel)
{
    LoopbackServer server({kFails, kAccepts});
    host.presses = {{0, Button::Accept, Window::Error}, {0, Button::Accept, Window::Details}};
    host.retryAnswers = {Button::Accept};
    Run(&server);
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), kRetryBox), 1);
    std::vector<std::string> received = server.Finish();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], received[1]);

    LoopbackServer failing({kFails});
    host.log.clear();
    host.presses = {{0, Button::Accept, Window::Error}, {0, Button::Accept, Window::Details}};
    host.retryAnswers = {Button::Cancel};
    Run(&failing);
    EXPECT_EQ(host.log.back(), "close all");
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), kRetryBox), 1);
    EXPECT_EQ(failing.Finish().size(), 1u);
}

// Abort while the server says nothing: the transfer ends as aborted, with no retry box. The
// status line meanwhile counts the seconds in dots, ten to a round.
TEST_F(CrashWindowsTest, AbortAndTheDots)
{
    LoopbackServer server({{LoopbackServer::ReadRequest(), LoopbackServer::Hold()}});
    host.presses = {{0, Button::Accept, Window::Error},
                    {0, Button::Accept, Window::Details},
                    {10500, Button::Cancel, Window::Progress, [&] { return server.RequestsRead() == 1; }}};
    Run(&server);
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), kRetryBox), 0);
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "gave up"), 0);
    EXPECT_EQ(Kavo::gHTTPTransfer.GetResult(), Kavo::HTTPTransfer::kAborted);
    ASSERT_GE(host.statuses.size(), 10u);
    EXPECT_EQ(host.statuses[0], std::make_pair(1000u, std::string("Please Wait .")));
    EXPECT_EQ(host.statuses[8], std::make_pair(9000u, std::string("Please Wait . . . . . . . . .")));
    EXPECT_EQ(host.statuses[9], std::make_pair(10000u, std::string("Please Wait")));
}
