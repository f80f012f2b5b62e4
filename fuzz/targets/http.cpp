// HTTP responses: the client sends its request to a loopback server of the tests', which answers
// with the input and closes; the status, headers, lengths and chunks are read as the crash
// report's upload reads them.
#include "crash/HTTPTransfer.h"
#include "fuzz/FuzzTarget.h"
#include "tests/crash/CrashTestSupport.h"
#include "tests/crash/LoopbackServer.h"

#include <cstdio>
#include <cstdlib>

KAVO_FUZZ_TARGET(http)
{
    using crashtest::LoopbackServer;
    static const std::string request =
        "POST /report HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 4\r\n\r\nbody";
    LoopbackServer server(
        {{LoopbackServer::ReadRequest(), LoopbackServer::Send(std::string(fuzz::AsText(data, size))),
          LoopbackServer::Close()}});
    Kavo::HTTPTransfer transfer;
    transfer.SendRequest(server.Address(), request);
    const int result = crashtest::WaitForFinalResult(transfer);
    if (result < 0)
    {
        std::fprintf(stderr, "the transfer did not finish\n");
        std::abort();
    }
    if (result == Kavo::HTTPTransfer::kFinished && transfer.GetContent().size() > size)
    {
        std::fprintf(stderr, "more content than the response held\n");
        std::abort();
    }
    server.Finish();
    return 0;
}
