#include "server/websocket/SecureWebSocketClient.h"
#include "server/websocket/SecureWebSocketServer.h"
#include "server/websocket/SimpleWebSocketClient.h"
#include "support/MessageLoop.h"
#include "support/ServerTestSupport.h"
#include <gtest/gtest.h>

namespace
{
const juce::File scriptFolder = juce::File (VANTREL_SOURCE_DIR).getChildFile ("tests/server/websocket");

struct ProcessResult
{
    int exitCode = -1;
    juce::String output;
};

ProcessResult runProcess (const juce::StringArray& command, int timeoutMs = 20000)
{
    juce::ChildProcess process;
    ProcessResult run;
    if (! process.start (command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return run;
    run.output = process.readAllProcessOutput();
    if (process.waitForProcessToFinish (timeoutMs))
        run.exitCode = (int) process.getExitCode();
    return run;
}

/** A certificate authority, a server certificate for 127.0.0.1 and a client certificate
    signed by the authority, made with the openssl tool in a temporary folder that goes with
    the object, private keys first. */
struct Certificates
{
    juce::File folder, caCert, caKey, serverCert, serverKey, clientCert, clientKey;
    bool ok = false;

    Certificates()
    {
        folder = juce::File::createTempFile ("certificates");
        folder.createDirectory();
        caCert = folder.getChildFile ("ca.pem");
        caKey = folder.getChildFile ("ca.key");
        serverCert = folder.getChildFile ("server.pem");
        serverKey = folder.getChildFile ("server.key");
        clientCert = folder.getChildFile ("client.pem");
        clientKey = folder.getChildFile ("client.key");
        const auto path = [] (const juce::File& f) { return f.getFullPathName(); };
        const juce::StringArray ec { "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes" };

        juce::StringArray ca { "openssl", "req", "-x509", "-days", "2", "-subj", "/CN=Vantrel test authority",
                               "-keyout", path (caKey), "-out", path (caCert) };
        ca.addArray (ec);
        juce::StringArray server { "openssl", "req", "-x509", "-days", "2", "-subj", "/CN=127.0.0.1",
                                   "-keyout", path (serverKey), "-out", path (serverCert) };
        server.addArray (ec);
        juce::StringArray request { "openssl", "req", "-subj", "/CN=test client", "-keyout", path (clientKey),
                                    "-out", path (folder.getChildFile ("client.csr")) };
        request.addArray (ec);
        const juce::StringArray sign { "openssl", "x509", "-req", "-days", "2", "-in", path (folder.getChildFile ("client.csr")),
                                       "-CA", path (caCert), "-CAkey", path (caKey),
                                       "-CAcreateserial", "-out", path (clientCert) };
        ok = runProcess (ca).exitCode == 0 && runProcess (server).exitCode == 0
          && runProcess (request).exitCode == 0 && runProcess (sign).exitCode == 0;
    }

    ~Certificates()
    {
        for (const auto& key : { caKey, serverKey, clientKey })
            key.deleteFile();
        folder.deleteRecursively();
    }

    JUCE_DECLARE_NON_COPYABLE (Certificates)
};

/** Answers every message with the same message. */
class Echo : public SimpleWebSocketServerBase::Listener
{
public:
    explicit Echo (SimpleWebSocketServer& s) : server (s) {}
    void textReceived (const juce::String& id, const juce::String& text) override { server.sendTextTo (text, id); }
    void binaryReceived (const juce::String& id, const juce::MemoryBlock& data) override { server.sendBinaryTo (data, id); }

private:
    SimpleWebSocketServer& server;
};

/** Everything a client told its listener, one line per event. */
class ClientLog : public SimpleWebSocketClientBase::Listener
{
public:
    void connectionOpened() override { add ("open"); }
    void textReceived (const juce::String& text) override { add ("text " + text); }
    void binaryReceived (const juce::MemoryBlock& data) override { add ("binary " + juce::String (data.getSize())); }
    void connectionClosed (int status, const juce::String& reason) override { add ("closed " + juce::String (status) + " " + reason); }
    void connectionError (const juce::String& message) override { add ("error " + message); }

    juce::StringArray get() const
    {
        const juce::ScopedLock sl (lock);
        return events;
    }

    bool has (const juce::String& event) const { return get().contains (event); }

private:
    void add (const juce::String& event)
    {
        const juce::ScopedLock sl (lock);
        events.add (event);
    }

    juce::CriticalSection lock;
    juce::StringArray events;
};

class SecureServer : public ::testing::Test
{
protected:
    // Made once for the tests of a process, and deleted after them even when one fails.
    static void SetUpTestSuite() { made = std::make_unique<Certificates>(); }
    static void TearDownTestSuite() { made.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE (certificates.ok) << "the openssl tool could not make the test certificates";
        root = juce::File::createTempFile ("root");
        root.createDirectory();
        root.getChildFile ("index.html").replaceWithText ("<p>secure</p>");
    }

    void TearDown() override { root.deleteRecursively(); }

    int start (SecureWebSocketServer& server)
    {
        const auto port = test::startOnFreePort (server, log);
        server.setRootFolder (root);
        return port;
    }

    static ProcessResult curl (int port, const juce::StringArray& arguments)
    {
        juce::StringArray command { "curl", "-k", "-s", "-o", "-", "-w", "\n%{http_code}", "--max-time", "10" };
        command.addArray (arguments);
        command.add ("https://127.0.0.1:" + juce::String (port) + "/index.html");
        return runProcess (command);
    }

    static inline std::unique_ptr<Certificates> made;
    const Certificates& certificates = *made;
    juce::File root;
    test::EventLog log;
};

TEST_F (SecureServer, ServesFilesOverTls12OnlyAndAnswersOtherMethodsWith405)
{
    SecureWebSocketServer server (certificates.serverCert.getFullPathName(), certificates.serverKey.getFullPathName());
    const auto port = start (server);
    ASSERT_NE (port, 0);

    struct Case { juce::StringArray curlArguments; bool connects; juce::String status, body; };
    const Case cases[] = {
        { { "--tlsv1.2", "--tls-max", "1.2" }, true, "200", "<p>secure</p>" },
        { { "--tlsv1.2", "--tls-max", "1.2", "-X", "POST", "-d", "x" }, true, "405", "" },
        { { "--tlsv1.2", "--tls-max", "1.2", "-X", "DELETE" }, true, "405", "" },
        { { "--tlsv1.3" }, false, "000", "" }, // a client that speaks only TLS 1.3 finds no common version
    };
    for (const auto& c : cases)
    {
        const auto run = curl (port, c.curlArguments);
        EXPECT_EQ (run.exitCode == 0, c.connects) << c.curlArguments.joinIntoString (" ") << ": " << run.output;
        // curl writes the body, a line break, then the status code.
        EXPECT_EQ (run.output.fromLastOccurrenceOf ("\n", false, false), c.status) << c.curlArguments.joinIntoString (" ");
        EXPECT_EQ (run.output.upToLastOccurrenceOf ("\n", false, false), c.body) << c.curlArguments.joinIntoString (" ");
    }
}
}

TEST_F (SecureServer, RequiresAClientCertificateWhenGivenAuthoritiesToVerifyItAgainst)
{
    SecureWebSocketServer server (certificates.serverCert.getFullPathName(), certificates.serverKey.getFullPathName(),
                                  certificates.caCert.getFullPathName());
    const auto port = start (server);
    ASSERT_NE (port, 0);

    const juce::StringArray tls12 { "--tlsv1.2", "--tls-max", "1.2" };
    auto withCertificate = tls12;
    withCertificate.addArray ({ "--cert", certificates.clientCert.getFullPathName(), "--key", certificates.clientKey.getFullPathName() });
    auto withUnknownCertificate = tls12; // signed by no authority the server knows
    withUnknownCertificate.addArray ({ "--cert", certificates.serverCert.getFullPathName(), "--key", certificates.serverKey.getFullPathName() });

    struct Case { const char* name; juce::StringArray arguments; juce::String status; };
    const Case cases[] = {
        { "no certificate", tls12, "000" },
        { "unknown certificate", withUnknownCertificate, "000" },
        { "certificate from the authority", withCertificate, "200" },
    };
    for (const auto& c : cases)
        EXPECT_EQ (curl (port, c.arguments).output.fromLastOccurrenceOf ("\n", false, false), c.status) << c.name;
}

TEST_F (SecureServer, FailsToStartWithoutItsCertificateOrKey)
{
    const auto missing = root.getChildFile ("missing.pem").getFullPathName();
    struct Case { juce::String certificate, key, verify, failedStep; };
    const Case cases[] = {
        { missing, certificates.serverKey.getFullPathName(), {}, "certificate" },
        { certificates.serverCert.getFullPathName(), missing, {}, "private key" },
        { certificates.serverCert.getFullPathName(), certificates.serverKey.getFullPathName(), missing, "verify file" },
    };
    for (const auto& c : cases)
    {
        test::EventLog events;
        SecureWebSocketServer server (c.certificate, c.key, c.verify);
        server.addListener (&events);
        server.start (test::nextCandidatePort(), {}, "127.0.0.1");
        ASSERT_TRUE (test::pumpUntil ([&] { return events.getServerErrors().size() == 1; })) << c.failedStep;
        EXPECT_TRUE (events.getServerErrors()[0].startsWith (c.failedStep)) << events.getServerErrors()[0];
        EXPECT_FALSE (server.isRunning());
    }
}

TEST_F (SecureServer, EchoesOverWssAndClosesEitherWay)
{
    SecureWebSocketServer server (certificates.serverCert.getFullPathName(), certificates.serverKey.getFullPathName());
    Echo echo (server);
    server.addListener (&echo);
    const auto port = start (server);
    ASSERT_NE (port, 0);
    const auto wssUrl = "wss://127.0.0.1:" + juce::String (port) + "/";
    const auto script = scriptFolder.getChildFile ("wss-client.js").getFullPathName();

    // The client closes: the server hears its status and reason, and answers with the status.
    auto run = runProcess ({ "node", script, wssUrl, "client-closes", "10000" });
    EXPECT_EQ (juce::StringArray::fromLines (run.output.trim()),
               (juce::StringArray { "open", "message text hello", "close 1000" })) << run.output;
    ASSERT_TRUE (test::pumpUntil ([&] { return log.getClosed().size() == 1; }));
    EXPECT_EQ (log.getClosed()[0].status, 1000);
    EXPECT_EQ (log.getClosed()[0].reason, "done");

    // The server stops: the client gets 1000 "Server destroyed".
    juce::ChildProcess client;
    ASSERT_TRUE (client.start (juce::StringArray { "node", script, wssUrl, "server-closes", "10000" }));
    ASSERT_TRUE (test::pumpUntil ([&] { return log.getTexts().size() == 2; }, 10000));
    server.stopServer();
    EXPECT_EQ (juce::StringArray::fromLines (client.readAllProcessOutput().trim()),
               (juce::StringArray { "open", "message text hello", "close 1000 Server destroyed" }));
}

//==============================================================================
TEST_F (SecureServer, OurClientsTalkToOurServersPlainAndSecure)
{
    struct Case
    {
        const char* name;
        std::function<std::unique_ptr<SimpleWebSocketServer>()> makeServer;
        std::function<std::unique_ptr<SimpleWebSocketClientBase>()> makeClient;
    };
    const auto& files = certificates;
    const Case cases[] = {
        { "plain", [] { return std::make_unique<SimpleWebSocketServer>(); },
          [] { return std::make_unique<SimpleWebSocketClient>(); } },
        { "secure", [&files] { return std::make_unique<SecureWebSocketServer> (files.serverCert.getFullPathName(), files.serverKey.getFullPathName()); },
          [] { return std::make_unique<SecureWebSocketClient>(); } },
    };

    for (const auto& c : cases)
    {
        test::EventLog events;
        auto server = c.makeServer();
        Echo echo (*server);
        server->addListener (&echo);
        const auto port = test::startOnFreePort (*server, events);
        ASSERT_NE (port, 0) << c.name;
        const auto address = "127.0.0.1:" + juce::String (port);

        // Echo both kinds of message, then the client leaves.
        ClientLog clientLog;
        auto client = c.makeClient();
        client->addListener (&clientLog);
        client->connect (address);
        ASSERT_TRUE (test::pumpUntil ([&] { return clientLog.has ("open"); }, 10000)) << c.name << clientLog.get().joinIntoString (" | ").toStdString();
        EXPECT_TRUE (client->isConnected());
        client->sendText ("héllo");
        const char bytes[] = { 0, 1, 2 };
        client->sendBinary (bytes, 3);
        ASSERT_TRUE (test::pumpUntil ([&] { return clientLog.get().size() == 3; })) << c.name;
        EXPECT_EQ (clientLog.get(), (juce::StringArray { "open", "text héllo", "binary 3" })) << c.name;

        client->disconnect();
        EXPECT_FALSE (client->isThreadRunning()) << c.name;
        ASSERT_TRUE (test::pumpUntil ([&] { return events.getClosed().size() == 1; })) << c.name;
        EXPECT_EQ (events.getClosed()[0].status, 1000) << c.name;
        EXPECT_EQ (events.getClosed()[0].reason, "Time to split my friend") << c.name;
        EXPECT_FALSE (clientLog.get().joinIntoString (" ").contains ("error")) << c.name;

        // Connected again, then the server stops.
        ClientLog secondLog;
        client->removeListener (&clientLog);
        client->addListener (&secondLog);
        client->connect (address);
        ASSERT_TRUE (test::pumpUntil ([&] { return secondLog.has ("open") && server->getNumClients() == 1; }, 10000)) << c.name;
        server->stopServer();
        ASSERT_TRUE (test::pumpUntil ([&] { return secondLog.has ("closed 1000 Server destroyed"); })) << c.name;
        EXPECT_TRUE (test::pumpUntil ([&] { return ! client->isThreadRunning(); })) << c.name;
        EXPECT_FALSE (client->isConnected()) << c.name;
    }
}

TEST (WebSocketClients, ReportAServerThatIsNotThereAndNothingWhileDisconnecting)
{
    for (const bool secure : { false, true })
    {
        // A port nobody listens on: bind one, then let it go.
        juce::StreamingSocket holder;
        ASSERT_TRUE (holder.createListener (0, "127.0.0.1"));
        const auto port = holder.getBoundPort();
        holder.close();

        ClientLog clientLog;
        std::unique_ptr<SimpleWebSocketClientBase> client;
        if (secure)
            client = std::make_unique<SecureWebSocketClient>();
        else
            client = std::make_unique<SimpleWebSocketClient>();
        client->addListener (&clientLog);
        client->connect ("127.0.0.1:" + juce::String (port));
        ASSERT_TRUE (test::pumpUntil ([&] { return clientLog.get().size() == 1; })) << secure;
        EXPECT_TRUE (clientLog.get()[0].startsWith ("error ")) << clientLog.get()[0];
        EXPECT_TRUE (test::pumpUntil ([&] { return ! client->isThreadRunning(); })) << secure;

        // A disconnect while the client is still connecting reports no error.
        ClientLog quietLog;
        client->removeListener (&clientLog);
        client->addListener (&quietLog);
        client->connect ("192.0.2.1:9"); // a documentation address: never answers
        client->disconnect();
        EXPECT_FALSE (client->isThreadRunning()) << secure;
        EXPECT_TRUE (quietLog.get().isEmpty()) << quietLog.get().joinIntoString (" | ");
    }
}
