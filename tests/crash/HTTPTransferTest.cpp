// The HTTP client against the loopback server: statuses, bodies, failures, aborts, demos.
#include "crash/HTTPTransfer.h"
#include "../app/AppTestSupport.h"
#include "CrashTestSupport.h"
#include "LoopbackServer.h"
#include "platform/net/TcpSocket.h"

#include <gtest/gtest.h>

using crashtest::LoopbackServer;
using Kavo::HTTPTransfer;

namespace
{

const std::string kRequest = "GET / HTTP/1.1\r\nHost: test\r\n\r\n";

struct Outcome
{
    int result;
    std::string content;
};

// One transfer against a server that reads the request and answers with the pieces given.
Outcome Exchange(const LoopbackServer::Script& answer)
{
    LoopbackServer::Script script = {LoopbackServer::ReadRequest()};
    script.insert(script.end(), answer.begin(), answer.end());
    LoopbackServer server({script});
    HTTPTransfer transfer;
    transfer.SendRequest(server.Address(), kRequest);
    Outcome outcome{crashtest::WaitForFinalResult(transfer), ""};
    if (outcome.result >= 0) outcome.content = transfer.GetContent();
    server.Release();
    std::vector<std::string> received = server.Finish();
    EXPECT_EQ(received, std::vector<std::string>{kRequest});
    return outcome;
}

} // namespace

TEST(HTTPTransfer, SplitsTheAddressIntoHostPortAndPath)
{
    struct Case
    {
        const char* url;
        const char* protocol;
        const char* host;
        int port;
        const char* path;
    } cases[] = {
        {"10.1.2.3", "", "10.1.2.3", 80, "/"},
        {"10.1.2.3:8080", "", "10.1.2.3", 8080, "/"},
        {"http://10.1.2.3:81/a/b", "http", "10.1.2.3", 81, "/a/b"},
        {"//reports.test/x", "//reports.test/x", "reports.test", 80, "/x"},
        {"reports.test:junk", "", "reports.test", 0, "/"},
    };
    for (const Case& c : cases)
    {
        HTTPTransfer transfer;
        transfer.ParseURL(c.url);
        EXPECT_EQ(transfer.GetProtocol(), c.protocol) << c.url;
        EXPECT_EQ(transfer.GetHost(), c.host) << c.url;
        EXPECT_EQ(transfer.GetPort(), c.port) << c.url;
        EXPECT_EQ(transfer.GetPath(), c.path) << c.url;
        EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kInProgress) << c.url;
    }
}

TEST(HTTPTransfer, EveryRequestTakesTwoTransferIds)
{
    HTTPTransfer transfer;
    EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kIdle);
    transfer.ParseURL("10.1.2.3");
    int first = transfer.GetTransferId();
    transfer.ParseURL("10.1.2.3");
    EXPECT_EQ(transfer.GetTransferId(), first + 2);
}

TEST(HTTPTransfer, StatusLines)
{
    struct Case
    {
        const char* response;
        int result;
        const char* content;
    } cases[] = {
        {"HTTP/1.0 200 OK\r\n\r\nbody", HTTPTransfer::kFinished, "body"},
        {"HTTP/1.1 200 OK\r\n\r\nbody", HTTPTransfer::kFinished, "body"},
        {"HTTP/1.1 404 Not Found\r\n\r\nbody", HTTPTransfer::kNotFound, ""},
        {"HTTP/1.1 301 Moved\r\n\r\nbody", HTTPTransfer::kBadStatus, ""},
        {"HTTP/1.1 500 Oops\r\n\r\nbody", HTTPTransfer::kBadStatus, ""},
        {"HTTP/1.1 \r\n\r\nbody", HTTPTransfer::kBadStatus, ""}, // nine characters: an empty status
        {"HTTP/1.\r\n\r\nbody", HTTPTransfer::kBadStatus, ""},   // too short to hold a status
        {"hello\r\n\r\nbody", HTTPTransfer::kFinished, "body"},  // no status line at all
    };
    for (const Case& c : cases)
    {
        Outcome outcome = Exchange({LoopbackServer::Send(c.response), LoopbackServer::Close()});
        EXPECT_EQ(outcome.result, c.result) << c.response;
        EXPECT_EQ(outcome.content, c.content) << c.response;
    }
}

TEST(HTTPTransfer, BodiesByLengthByCloseAndInChunks)
{
    const std::string a26(26, 'a'), b26(26, 'b'), c600(600, 'c');
    const std::string ok = "HTTP/1.1 200 OK\r\n";
    struct Case
    {
        const char* name;
        LoopbackServer::Script answer;
        std::string content;
    };
    const std::vector<Case> cases = {
        // The announced length ends the body; the connection stays open meanwhile.
        {"length",
         {LoopbackServer::Send(ok + "Content-Length: 5\r\n\r\nabcdefgh"), LoopbackServer::Hold()},
         "abcde"},
        {"close", {LoopbackServer::Send(ok + "\r\n" + c600), LoopbackServer::Close()}, c600},
        {"lower-case length",
         {LoopbackServer::Send(ok + "content-length: 5\r\n\r\nabcdefgh"), LoopbackServer::Close()},
         "abcdefgh"},
        {"chunked",
         {LoopbackServer::Send(ok + "Transfer-Encoding: chunked\r\n\r\n1a\r\n" + a26 + "\r\n1A\r\n" + b26 +
                               "\r\n0\r\n\r\n"),
          LoopbackServer::Hold()},
         a26 + b26},
        {"other coding",
         {LoopbackServer::Send(ok + "Transfer-Encoding: gzip\r\n\r\n3\r\nxyz\r\n0\r\n\r\n"),
          LoopbackServer::Hold()},
         "xyz"},
        {"identity",
         {LoopbackServer::Send(ok + "Transfer-Encoding: identity\r\n\r\n3\r\nxyz"), LoopbackServer::Close()},
         "3\r\nxyz"},
        {"extension",
         {LoopbackServer::Send(ok + "Transfer-Encoding: chunked\r\n\r\n3;x=1\r\nxyz\r\n0\r\n\r\n"),
          LoopbackServer::Hold()},
         ""},
        // A chunk in several pieces, the line end after its data arriving on its own.
        {"split chunk",
         {LoopbackServer::Send(ok + "Transfer-Encoding: chunked\r\n\r\n258\r\n" + c600.substr(0, 300)),
          LoopbackServer::Pause(20), LoopbackServer::Send(c600.substr(300)), LoopbackServer::Pause(20),
          LoopbackServer::Send("\r\n"), LoopbackServer::Pause(20),
          LoopbackServer::Send("3\r\nxyz\r\n0\r\n\r\n"), LoopbackServer::Hold()},
         c600 + "xyz"},
    };
    for (const Case& c : cases)
    {
        Outcome outcome = Exchange(c.answer);
        EXPECT_EQ(outcome.result, HTTPTransfer::kFinished) << c.name;
        EXPECT_EQ(outcome.content, c.content) << c.name;
    }
}

TEST(HTTPTransfer, ConnectionFailures)
{
    // Refused: a port nobody listens on.
    platform::TcpSocket closed;
    ASSERT_TRUE(closed.Listen(0));
    std::string refused = "127.0.0.1:" + std::to_string(closed.LocalPort());
    closed.Close();
    HTTPTransfer transfer;
    transfer.SendRequest(refused, kRequest);
    EXPECT_EQ(crashtest::WaitForFinalResult(transfer), HTTPTransfer::kConnectFailed);

    // Names go through the lookup seam; a dotted address never does.
    const LoopbackServer::Script answer = {LoopbackServer::ReadRequest(),
                                           LoopbackServer::Send("HTTP/1.1 200 OK\r\n\r\nhi"),
                                           LoopbackServer::Close()};
    LoopbackServer server({answer, answer});
    std::string port = server.Address().substr(server.Address().find(':'));
    std::vector<std::string> asked;
    platform::SetHostResolver(
        [&](const std::string& host, uint32_t& address)
        {
            asked.push_back(host);
            return host == "reports.test" && platform::ParseIPv4("127.0.0.1", address);
        });
    transfer.SendRequest("nowhere.test" + port, kRequest);
    EXPECT_EQ(crashtest::WaitForFinalResult(transfer), HTTPTransfer::kHostNotFound);
    transfer.SendRequest("reports.test" + port, kRequest);
    EXPECT_EQ(crashtest::WaitForFinalResult(transfer), HTTPTransfer::kFinished);
    EXPECT_EQ(transfer.GetContent(), "hi");
    transfer.SendRequest("127.0.0.1" + port, kRequest);
    EXPECT_EQ(crashtest::WaitForFinalResult(transfer), HTTPTransfer::kFinished);
    platform::SetHostResolver({});
    EXPECT_EQ(asked, (std::vector<std::string>{"nowhere.test", "reports.test"}));
}

TEST(HTTPTransfer, AbortWhileTheServerSaysNothing)
{
    LoopbackServer server({{LoopbackServer::ReadRequest(), LoopbackServer::Hold()}});
    HTTPTransfer transfer;
    transfer.SendRequest(server.Address(), kRequest);
    ASSERT_TRUE(server.WaitForRequests(1));
    EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kInProgress);
    transfer.Abort();
    EXPECT_EQ(crashtest::WaitForFinalResult(transfer), HTTPTransfer::kAborted);
}

TEST(HTTPTransfer, ResetDuringALargeSendFailsTheSend)
{
    LoopbackServer server({{LoopbackServer::ReadBytes(1000), LoopbackServer::Reset()}});
    HTTPTransfer transfer;
    transfer.SendRequest(server.Address(), std::string(32u << 20, 'x'));
    EXPECT_EQ(crashtest::WaitForFinalResult(transfer), HTTPTransfer::kSendFailed);
}

TEST(HTTPTransfer, AResponseBeyondTheLimitFails)
{
    // A header line that never ends.
    std::string endless(HTTPTransfer::kMaxResponseBytes + 4096, 'h');
    Outcome outcome = Exchange({LoopbackServer::Send(endless), LoopbackServer::Hold()});
    EXPECT_EQ(outcome.result, HTTPTransfer::kSocketError);
    EXPECT_EQ(outcome.content, "");
}

// While a demo is recorded, each result change a poll sees becomes event 18.
TEST(HTTPTransfer, RecordsResultChangesAsDemoEvents)
{
    apptest::TestApp app;
    app.mRecordingDemo = true;
    std::string body(70000, 'z');
    LoopbackServer server(
        {{LoopbackServer::ReadRequest(), LoopbackServer::Send("HTTP/1.1 200 OK\r\n\r\n" + body),
          LoopbackServer::Close()}});
    HTTPTransfer transfer;
    transfer.SendRequest(server.Address(), kRequest);
    ASSERT_EQ(crashtest::WaitForFinalResult(transfer), HTTPTransfer::kFinished);
    ASSERT_EQ(transfer.GetContent(), body);
    transfer.GetResult(); // no change: nothing more is written

    Kavo::Buffer& demo = app.mDemo.mBuffer;
    demo.SeekFront();
    std::vector<int> results;
    while (!demo.AtEnd())
    {
        demo.ReadNumBits(4, false);
        ASSERT_EQ(demo.ReadNumBits(1, false), 0);
        ASSERT_EQ(demo.ReadNumBits(5, false), Kavo::DemoStream::kHttpResult);
        EXPECT_EQ(demo.ReadLong(), transfer.GetTransferId());
        results.push_back(demo.ReadByte());
        std::string content = demo.ReadString();
        // A demo string holds 32,767 bytes: the body is kept cut, and the stream stays whole.
        EXPECT_EQ(content, results.back() == HTTPTransfer::kInProgress ? "" : body.substr(0, 32767));
    }
    EXPECT_EQ(demo.GetReadBitPos(), demo.GetBitSize());
    EXPECT_EQ(results.back(), HTTPTransfer::kFinished);
}

// While a demo plays, no connection is made: the result stays "in progress" until the event of
// this transfer comes due; an event of another transfer stays pending for its own reader.
TEST(HTTPTransfer, ReplaysResultsFromTheDemo)
{
    apptest::TestApp app;
    app.mPlayingDemo = true;
    HTTPTransfer transfer;
    transfer.SendRequest("10.255.255.1", kRequest);
    int id = transfer.GetTransferId();

    // An event of another transfer at update 3, this one's at update 5.
    Kavo::DemoStream stream;
    stream.WriteLongEvent(3, Kavo::DemoStream::kHttpResult);
    stream.mBuffer.WriteLong(id + 7);
    stream.mBuffer.WriteByte(HTTPTransfer::kNotFound);
    stream.mBuffer.WriteString("other");
    stream.WriteLongEvent(5, Kavo::DemoStream::kHttpResult);
    stream.mBuffer.WriteLong(id);
    stream.mBuffer.WriteByte(HTTPTransfer::kFinished);
    stream.mBuffer.WriteString("replayed");
    app.mDemo.Reset();
    app.mDemo.mBuffer = stream.mBuffer;
    app.mDemo.mBuffer.SeekFront();

    app.mUpdateCount = 2;
    EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kInProgress);
    app.mUpdateCount = 3;
    EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kInProgress);
    ASSERT_TRUE(app.mDemo.HeaderPending());
    int64_t atId = app.mDemo.mBuffer.GetReadBitPos();
    EXPECT_EQ(app.mDemo.mBuffer.ReadLong(), id + 7); // the refused event's id is read again
    app.mDemo.mBuffer.SetReadBitPos(atId);
    app.mDemo.mBuffer.ReadLong();
    app.mDemo.mBuffer.ReadByte();
    app.mDemo.mBuffer.ReadString();
    app.mDemo.TakeHeader();

    app.mUpdateCount = 4;
    EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kInProgress);
    app.mUpdateCount = 5;
    EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kFinished);
    EXPECT_EQ(transfer.GetContent(), "replayed");
    EXPECT_FALSE(app.mDemo.HeaderPending());
    app.mPlayingDemo = false;
}
