#include "server/websocket/HttpWebSocketService.h"
#include "support/ServerTestSupport.h"

#include <gtest/gtest.h>
#include <fstream>
#include <thread>

namespace
{
/** Answers every request with 200 and keeps the header fields of the last one. */
class RecordingHandler : public HttpWebSocketService::Handler
{
public:
    void onHttpRequest (std::shared_ptr<HttpResponse> response, std::shared_ptr<const HttpRequest> request) override
    {
        {
            const juce::ScopedLock sl (lock);
            lastHeaders = request->headers;
        }
        response->write (juce::String ("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"));
    }

    bool isWebSocketPath (const juce::String&) override { return false; }
    void onClientOpen (std::shared_ptr<WebSocketConnection>) override {}
    void onClientMessage (std::shared_ptr<WebSocketConnection>, const void*, size_t, bool) override {}
    void onClientClose (std::shared_ptr<WebSocketConnection>, int, const juce::String&) override {}
    void onClientError (std::shared_ptr<WebSocketConnection>, const juce::String&) override {}

    juce::StringPairArray getLastHeaders() const
    {
        const juce::ScopedLock sl (lock);
        return lastHeaders;
    }

private:
    juce::CriticalSection lock;
    juce::StringPairArray lastHeaders;
};

class HttpService : public ::testing::Test
{
protected:
    void SetUp() override
    {
        HttpWebSocketService::Settings settings;
        settings.bindAddress = "127.0.0.1";
        service = std::make_unique<HttpWebSocketService> (settings, handler);
        port = service->listen();
        thread = std::thread ([this] { service->run(); });
    }

    void TearDown() override
    {
        service->shutdown (1000, "Server destroyed", 1000);
        thread.join();
    }

    std::optional<std::string> request (const std::string& bytes) { return test::httpGet (port, bytes); }

    RecordingHandler handler;
    std::unique_ptr<HttpWebSocketService> service;
    std::thread thread;
    int port = 0;
};

const std::string ok = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n";
const std::string tooManyLines = "HTTP/1.1 431 Request Header Fields Too Large\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";

std::string getWithFields (const std::string& fields)
{
    return "GET / HTTP/1.1\r\nHost: x\r\n" + fields + "\r\n";
}

std::string repeatedLines (const std::string& line, int count)
{
    std::string lines;
    for (int i = 0; i < count; ++i)
        lines += line;
    return lines;
}

/** The resident memory of this process in bytes. */
size_t residentBytes()
{
    std::ifstream status ("/proc/self/status");
    std::string key;
    size_t kiloBytes = 0;
    while (status >> key)
        if (key == "VmRSS:" && status >> kiloBytes)
            return kiloBytes * 1024;
    return 0;
}

TEST_F (HttpService, JoinsRepeatedHeaderFieldsInOrder)
{
    struct Case
    {
        std::string fields;
        const char* name;
        juce::String value;
    };
    const Case cases[] = {
        { "Accept: a\r\n", "accept", "a" },
        { "X-Tag: 1\r\nX-Other: o\r\nx-tag: 2\r\nX-TAG: 3\r\n", "X-Tag", "1, 2, 3" }, // names regardless of case
        { "X-Empty:\r\nX-Empty: b\r\n", "X-Empty", ", b" },
        { repeatedLines ("X-Many: v\r\n", 199), "X-Many", juce::String ("v") + juce::String (repeatedLines (", v", 198)) },
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ (request (getWithFields (c.fields)).value_or (""), ok) << c.name;
        EXPECT_EQ (handler.getLastHeaders()[c.name], c.value) << c.name;
    }
}

TEST_F (HttpService, AnswersMoreThanTwoHundredHeaderLinesWith431)
{
    // Host and 199 more make 200 lines: the most a request may have.
    EXPECT_EQ (request (getWithFields (repeatedLines ("X-Line: 1\r\n", 199))).value_or (""), ok);
    EXPECT_EQ (request (getWithFields (repeatedLines ("X-Line: 1\r\n", 200))).value_or (""), tooManyLines);
}

TEST_F (HttpService, AFloodOfHeaderLinesIsRefusedAtOnceAndOthersAreStillServed)
{
    // 100,000 short lines fit the request size limit; keeping and joining them all cost
    // gigabytes and minutes before.
    const auto flood = getWithFields (repeatedLines ("X:1\r\n", 100000));
    ASSERT_LT (flood.size(), 1000000u);
    const auto before = residentBytes();

    test::RawClient client;
    ASSERT_TRUE (client.connect (port));
    client.send (flood); // the server reads on after its answer, but it may close first

    // Answered or closed within a generous bound; the answer takes milliseconds.
    const auto answer = client.readHttpResponse (3000);
    EXPECT_TRUE (answer.has_value() || client.isClosed());
    if (answer.has_value())
    {
        EXPECT_EQ (*answer, tooManyLines);
    }
    EXPECT_EQ (request (getWithFields ("")).value_or (""), ok);

    EXPECT_LT (residentBytes(), before + 64 * 1024 * 1024);
}
}
