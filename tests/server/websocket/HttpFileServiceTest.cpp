#include "support/ServerTestSupport.h"
#include "support/MessageLoop.h"
#include "support/TempHome.h"
#include <gtest/gtest.h>
#include <fstream>
#include <unistd.h>
#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime's allocator interface (GCC installs no header for it).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace
{
const std::string notFound = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
const std::string notAllowed = "HTTP/1.1 405 Method Not Allowed\r\nAllow: GET, POST, PUT, DELETE, PATCH\r\nContent-Length: 0\r\n\r\n";
const std::string tooLarge = "HTTP/1.1 413 Payload Too Large\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";

std::string ok (const std::string& type, const std::string& body)
{
    return "HTTP/1.1 200 OK\r\nAccept-range: bytes\r\nContent-Length: " + std::to_string (body.size())
         + "\r\nContent-Type: " + type + "\r\nAccess-Control-Allow-Origin: *\r\n\r\n" + body;
}

std::string get (const std::string& target, const std::string& method = "GET")
{
    return method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

const std::string bom = "\xef\xbb\xbf";
// Bytes that no text conversion leaves alone: a byte-order mark, a zero, invalid UTF-8.
const std::string binaryBytes = bom + std::string ("PK\x03\x04\0\xff\xfe\x80 data", 14);

void write (const juce::File& file, const std::string& bytes)
{
    file.getParentDirectory().createDirectory();
    if (bytes.empty()) // replaceWithData would delete the file
        ASSERT_TRUE (file.create());
    else
        ASSERT_TRUE (file.replaceWithData (bytes.data(), bytes.size()));
}

/** A server with a root folder of known files, and a secret beside the root. */
class FileServer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Named after the process: tests run in parallel processes that share the temp folder.
        base = juce::File::getSpecialLocation (juce::File::tempDirectory)
                   .getNonexistentChildFile ("vantrel-files-" + juce::String (getpid()), "", false);
        root = base.getChildFile ("root");
        write (root.getChildFile ("index.html"), "<h1>Hello</h1>");
        write (root.getChildFile ("app.js"), "console.log('é');");
        write (root.getChildFile ("sub/index.html"), "sub page");
        root.getChildFile ("empty").createDirectory();
        write (root.getChildFile ("a%20b.css"), "p{}");
        write (root.getChildFile ("bom.css"), bom + "body{}");
        write (root.getChildFile ("UPPER.HTML"), bom + "<p>");
        write (root.getChildFile ("page.htm"), "<p>");
        write (root.getChildFile ("nothing.js"), "");
        write (root.getChildFile ("doc.odt"), binaryBytes);
        write (root.getChildFile ("image.png"), binaryBytes);
        write (root.getChildFile ("drawing.svg"), bom + "<svg/>");
        write (root.getChildFile ("data.json"), std::string ("\xff\xfe{\0}\0", 6)); // UTF-16LE "{}"
        write (base.getChildFile ("secret.txt"), "secret");
        write (home.getHome().getChildFile ("secret.txt"), "secret");

        port = test::startOnFreePort (server, log);
        ASSERT_NE (port, 0);
        server.setRootFolder (root);
    }

    void TearDown() override
    {
        server.stopServer();
        base.deleteRecursively();
    }

    std::optional<std::string> request (const std::string& bytes) { return test::httpGet (port, bytes); }

    test::TempHome home;
    juce::File base, root;
    test::EventLog log; // outlives the server, whose thread reports to it
    SimpleWebSocketServer server;
    int port = 0;
};

TEST_F (FileServer, AnswersWithExactBytes)
{
    struct Case { std::string request, answer; };
    const Case cases[] = {
        { get ("/"), ok ("text/html", "<h1>Hello</h1>") },
        { get ("/?v=2"), ok ("text/html", "<h1>Hello</h1>") },
        { get ("/index.html"), ok ("text/html", "<h1>Hello</h1>") },
        { get ("/sub"), ok ("text/html", "sub page") },
        { get ("/sub/"), ok ("text/html", "sub page") },
        { get ("/app.js"), ok ("application/javascript", "console.log('é');") },
        { get ("/a%20b.css"), ok ("text/css", "p{}") },             // no percent-decoding
        { get ("/bom.css"), ok ("text/css", "body{}") },            // the byte-order mark is dropped
        { get ("/data.json"), ok ("application/json", "{}") },      // UTF-16 becomes UTF-8
        { get ("/UPPER.HTML"), ok ("", bom + "<p>") },              // unknown extension: bytes as they are
        { get ("/page.htm"), ok ("", "<p>") },
        { get ("/nothing.js"), ok ("application/javascript", "") },
        { get ("/doc.odt"), ok ("application/vnd.oasis.opendocument.text", binaryBytes) },
        { get ("/image.png"), ok ("image/png", binaryBytes) },
        { get ("/drawing.svg"), ok ("image/svg+xml", bom + "<svg/>") },
        { get ("/missing.js"), notFound },
        { get ("/empty"), notFound },                               // a folder without index.html
        { get ("/empty/"), notFound },
        { get ("?x=1"), notFound },                                 // an empty path
        { get ("/", "HEAD"), notAllowed },
        { get ("*", "OPTIONS"), notAllowed },
        { get ("/", "TRACE"), notAllowed },
    };

    for (const auto& c : cases)
    {
        const auto answer = request (c.request);
        EXPECT_EQ (answer.value_or (std::string()), c.answer) << c.request;
    }
}

TEST_F (FileServer, OtherMethodsGetTheFileAndChangeNothing)
{
    for (const std::string method : { "POST", "PUT", "DELETE", "PATCH" })
    {
        const auto answer = request (method + " /app.js HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello");
        EXPECT_EQ (answer.value_or (std::string()), ok ("application/javascript", "console.log('é');")) << method;
    }
    EXPECT_TRUE (root.getChildFile ("app.js").existsAsFile());
    EXPECT_EQ (root.getChildFile ("app.js").loadFileAsString(), "console.log('é');");
}

TEST_F (FileServer, AnswersNotFoundUntilTheRootIsAFolder)
{
    server.setRootFolder ({});
    EXPECT_EQ (request (get ("/")).value_or (""), notFound);
    server.setRootFolder (base.getChildFile ("nowhere"));
    EXPECT_EQ (request (get ("/")).value_or (""), notFound);
    server.setRootFolder (root.getChildFile ("index.html"));
    EXPECT_EQ (request (get ("/")).value_or (""), notFound);
    server.setRootFolder (root);
    EXPECT_EQ (request (get ("/")).value_or (""), ok ("text/html", "<h1>Hello</h1>"));
}

TEST_F (FileServer, KeepsTheConnectionForFurtherRequests)
{
    test::RawClient client;
    ASSERT_TRUE (client.connect (port));
    ASSERT_TRUE (client.send (get ("/sub/")));
    EXPECT_EQ (client.readHttpResponse().value_or (""), ok ("text/html", "sub page"));
    ASSERT_TRUE (client.send (get ("/app.js")));
    EXPECT_EQ (client.readHttpResponse().value_or (""), ok ("application/javascript", "console.log('é');"));

    // Two requests in one write are answered in order.
    ASSERT_TRUE (client.send (get ("/missing") + get ("/")));
    EXPECT_EQ (client.readHttpResponse().value_or (""), notFound);
    EXPECT_EQ (client.readHttpResponse().value_or (""), ok ("text/html", "<h1>Hello</h1>"));
    EXPECT_FALSE (client.isClosed());
}

TEST_F (FileServer, ClosesAfterTheAnswerWhenTheClientAsks)
{
    test::RawClient client;
    ASSERT_TRUE (client.connect (port));
    ASSERT_TRUE (client.send ("GET / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"));
    EXPECT_EQ (client.readHttpResponse().value_or (""), ok ("text/html", "<h1>Hello</h1>"));
    EXPECT_TRUE (client.waitForClose());
}

TEST_F (FileServer, NeverServesAFileOutsideTheRoot)
{
    const auto outside = base.getChildFile ("outside");
    write (outside.getChildFile ("secret.txt"), "secret");
    ASSERT_EQ (symlink (outside.getFullPathName().toRawUTF8(), root.getChildFile ("linkdir").getFullPathName().toRawUTF8()), 0);
    ASSERT_EQ (symlink (base.getChildFile ("secret.txt").getFullPathName().toRawUTF8(),
                        root.getChildFile ("link.txt").getFullPathName().toRawUTF8()), 0);
    ASSERT_EQ (symlink (outside.getFullPathName().toRawUTF8(), root.getChildFile ("linkindex").getFullPathName().toRawUTF8()), 0);
    write (outside.getChildFile ("index.html"), "secret");
    // A link that stays inside the root is fine.
    ASSERT_EQ (symlink (root.getChildFile ("index.html").getFullPathName().toRawUTF8(),
                        root.getChildFile ("alias.html").getFullPathName().toRawUTF8()), 0);

    const auto absoluteSecret = base.getChildFile ("secret.txt").getFullPathName().toStdString();
    const std::string probes[] = {
        "/../secret.txt",
        "/sub/../../secret.txt",
        "/%2e%2e/secret.txt",
        "/%2E%2E/secret.txt",
        "/.%2e/secret.txt",
        "/%252e%252e/secret.txt",
        "/%25252e%25252e/secret.txt",
        "/..%2fsecret.txt",
        "/sub%2f..%2f..%2fsecret.txt",
        "/" + absoluteSecret,
        "//" + absoluteSecret.substr (1),
        "/%2f" + absoluteSecret.substr (1),
        "/..\\secret.txt",
        "/sub\\..\\..\\secret.txt",
        "/%5c..%5csecret.txt",
        "/index.html%00.txt",
        "/~/secret.txt",
        "/linkdir/secret.txt",
        "/link.txt",
        "/linkindex/",
        "/C:/secret.txt",
    };

    for (const auto& probe : probes)
    {
        const auto answer = request (get (probe));
        EXPECT_EQ (answer.value_or (notFound), notFound) << probe;
    }

    EXPECT_EQ (request (get ("/alias.html")).value_or (""), ok ("text/html", "<h1>Hello</h1>"));
}

TEST_F (FileServer, RefusesRequestsOverOneMillionBytes)
{
    const auto withBody = [] (size_t total)
    {
        const std::string start = "POST /nothing.js HTTP/1.1\r\nHost: x\r\nContent-Length: ";
        // The body fills the request up to the total, header included.
        auto header = start + "000000\r\n\r\n";
        const auto bodySize = total - header.size();
        auto digits = std::to_string (bodySize);
        header = start + std::string (6 - digits.size(), '0') + digits + "\r\n\r\n";
        return header + std::string (bodySize, 'x');
    };

    struct Case { std::string request, answer; };
    const Case cases[] = {
        { withBody (1000000), ok ("application/javascript", "") },
        { withBody (1000001), tooLarge },
        { "GET / HTTP/1.1\r\nHost: x\r\nX-Big: " + std::string (1000000, 'y') + "\r\n\r\n", tooLarge },
    };
    for (const auto& c : cases)
        EXPECT_EQ (request (c.request).value_or (""), c.answer) << c.request.size();
}

TEST_F (FileServer, DropsConnectionsThatDoNotCompleteARequestWithinASecond)
{
    struct Case { const char* name; std::string sent; };
    const Case cases[] = {
        { "silent", "" },
        { "partial header", "GET / HTTP/1.1\r\nHost:" },
        { "idle after an answer", get ("/") },
    };
    for (const auto& c : cases)
    {
        test::RawClient client;
        ASSERT_TRUE (client.connect (port));
        const auto started = juce::Time::getMillisecondCounterHiRes();
        if (! c.sent.empty())
        {
            ASSERT_TRUE (client.send (c.sent));
        }
        EXPECT_TRUE (client.waitForClose (10000)) << c.name;
        const auto elapsed = juce::Time::getMillisecondCounterHiRes() - started;
        EXPECT_GE (elapsed, 800.0) << c.name;
    }
}

/** Memory this process holds, server and client together: its resident memory. Under
    AddressSanitizer it is the bytes allocated and not yet freed instead: the sanitizer keeps
    every freed block out of use for a while (its quarantine), so resident memory grows by
    each block the server and the test free, whether anything is held or not. */
juce::int64 heldBytes()
{
#if defined(__SANITIZE_ADDRESS__)
    return (juce::int64) __sanitizer_get_current_allocated_bytes();
#else
    juce::int64 pages = 0, resident = 0;
    std::ifstream ("/proc/self/statm") >> pages >> resident;
    return resident * (juce::int64) sysconf (_SC_PAGESIZE);
#endif
}

std::uint8_t patternByte (juce::int64 i)
{
    return (std::uint8_t) ((i * 31 + (i >> 12)) & 0xff);
}

TEST_F (FileServer, SendsALargeFileToASlowReaderWithoutHoldingItInMemory)
{
    constexpr juce::int64 size = 20 * 1024 * 1024;
    const auto big = root.getChildFile ("big.bin");
    {
        juce::FileOutputStream out (big);
        ASSERT_TRUE (out.openedOk());
        std::vector<std::uint8_t> piece (65536);
        for (juce::int64 at = 0; at < size; at += (juce::int64) piece.size())
        {
            for (size_t i = 0; i < piece.size(); ++i)
                piece[i] = patternByte (at + (juce::int64) i);
            ASSERT_TRUE (out.write (piece.data(), piece.size()));
        }
    }

    juce::StreamingSocket socket;
    ASSERT_TRUE (socket.connect ("127.0.0.1", port, 5000));
    const auto request = get ("/big.bin");
    ASSERT_EQ (socket.write (request.data(), (int) request.size()), (int) request.size());

    const auto before = heldBytes();
    auto peak = before;
    std::string header;
    juce::int64 bodyRead = 0, mismatches = 0;
    char piece[16384];
    while (bodyRead < size)
    {
        // A reader slower than the server can write: the rest waits on the server's side.
        juce::Thread::sleep (2);
        ASSERT_EQ (socket.waitUntilReady (true, 10000), 1) << "stalled after " << bodyRead << " body bytes";
        const auto wanted = header.find ("\r\n\r\n") == std::string::npos ? 1 : (int) std::min<juce::int64> (sizeof (piece), size - bodyRead);
        const auto got = socket.read (piece, wanted, false);
        ASSERT_GT (got, 0) << "closed after " << bodyRead << " body bytes";
        if (header.find ("\r\n\r\n") == std::string::npos)
        {
            header.append (piece, (size_t) got);
            continue;
        }
        for (int i = 0; i < got; ++i)
            mismatches += (std::uint8_t) piece[i] != patternByte (bodyRead + i) ? 1 : 0;
        bodyRead += got;
        peak = std::max (peak, heldBytes());
    }

    EXPECT_EQ (header, "HTTP/1.1 200 OK\r\nAccept-range: bytes\r\nContent-Length: 20971520\r\n"
                       "Content-Type: application/octet-stream\r\nAccess-Control-Allow-Origin: *\r\n\r\n");
    EXPECT_EQ (mismatches, 0);
    EXPECT_LT (peak - before, (juce::int64) 8 * 1024 * 1024) << "the file was held in memory";

    // The connection serves the next request as before.
    ASSERT_EQ (socket.write (request.data(), (int) request.size()), (int) request.size());
    ASSERT_EQ (socket.waitUntilReady (true, 10000), 1);
    EXPECT_GT (socket.read (piece, 12, true), 0);
    EXPECT_EQ (std::string (piece, 12), "HTTP/1.1 200");
}
}
