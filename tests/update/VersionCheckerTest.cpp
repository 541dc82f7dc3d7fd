#include "UpdateFixture.h"
#include "update/UpdateEndpoint.h"
#include "update/VersionChecker.h"

using Result = VersionChecker::VersionCheckResult;

TEST (VersionChecker, OnlyMajorMinorAndPatchCount)
{
    const struct { const char* remote; bool newer; } cases[] = {
        { "1.1.1", true },   { "1.2", true },        { "2", true },          { "1.1.1beta", true },
        { " 1.1.2", true },  { "1.1.0", false },     { "1.1.0.9999", false }, { "1.1.0.700", false },
        { "1.0.99", false }, { "1.1", false },       { "abc", false },        { "", false },
        { "true", false },   { "-2.5.0", false },    { "99999999999999999999.0", true },
    };
    EXPECT_EQ (VersionChecker::getRunningVersion(), "1.1.0.643");
    for (const auto& c : cases)
        EXPECT_EQ (VersionChecker::isNewerVersion ("1.1.0.643", c.remote), c.newer) << c.remote;
}

TEST (VersionChecker, ReadsTheOverview)
{
    const juce::String base = "<data><r version=\"1.1.1\" latest=\"true\">";
    const juce::String link = "<link os=\"linux\">https://example.com/linux.zip</link>";
    const struct { juce::String text; int status; juce::String message; } cases[] = {
        { "", VersionChecker::error, VersionChecker::failedText },
        { "not xml", VersionChecker::error, VersionChecker::failedText },
        { "<other><r version=\"9\" latest=\"true\"/></other>", VersionChecker::error, VersionChecker::failedText },
        { "<data><r version=\"9\"/><r version=\"9\" latest=\"TRUE\"/></data>", VersionChecker::error, VersionChecker::noLatestText },
        // The first attribute is the version: here it is latest itself, "true", read as 0.
        { "<data><r latest=\"true\" version=\"9\"/></data>", VersionChecker::upToDate, VersionChecker::latestText },
        { "<data><r version=\"1.1.0.900\" latest=\"true\"/></data>", VersionChecker::upToDate, VersionChecker::latestText },
        // A newer release without notes or without an archive for this platform is not offered.
        { base + link + "</r></data>", VersionChecker::error, VersionChecker::failedText },
        { base + "<body>x</body><link os=\"windows\">https://example.com/w.zip</link></r></data>",
          VersionChecker::error, VersionChecker::failedText },
        // Nor one whose archive would come over plain http from elsewhere.
        { base + "<body>x</body><link os=\"linux\">http://example.com/l.zip</link></r></data>",
          VersionChecker::error, VersionChecker::failedText },
    };
    for (const auto& c : cases)
    {
        const auto r = VersionChecker::readOverview (c.text, {});
        EXPECT_EQ (r.status, c.status) << c.text;
        EXPECT_EQ (r.message, c.message) << c.text;
    }

    const auto r = VersionChecker::readOverview ("<DATA>" + base.fromFirstOccurrenceOf ("<data>", false, false)
                                                     + "<BODY>Fixes\n<b>and</b> more</BODY>" + link + "</r></DATA>",
                                                 {});
    EXPECT_EQ (r.status, VersionChecker::updateAvailable);
    EXPECT_EQ (r.version, "1.1.1");
    EXPECT_EQ (r.body, "Fixes\nand more");
    EXPECT_EQ (r.downloadUrl.toString (true), "https://example.com/linux.zip");
}

TEST (UpdateEndpoint, OnlyHttpsOrLoopbackHttp)
{
    const struct { const char* address; bool allowed; } cases[] = {
        { "https://updates.example.com/x.zip", true },
        { "http://127.0.0.1:8080/x", true },
        { "http://localhost/x", true },
        { "http://[::1]:80/x", true },
        { "http://example.com/x.zip", false },
        { "http://127.0.0.1.example.com/x", false },
        { "http://127.0.0.1@example.com/x", false },
        { "ftp://127.0.0.1/x", false },
        { "file:///etc/passwd", false },
        { "/relative", false },
    };
    for (const auto& c : cases)
        EXPECT_EQ (UpdateEndpoint::isAllowed (juce::URL (c.address)), c.allowed) << c.address;

    const char* name = UpdateEndpoint::environmentVariable;
    const juce::String saved = std::getenv (name) != nullptr ? std::getenv (name) : "";
    unsetenv (name);
    EXPECT_EQ (UpdateEndpoint::getOverviewUrl().toString (true), "https://updates.vantrel.invalid/updates/19203/overview.xml");
    setenv (name, "http://127.0.0.1:5/", 1);
    EXPECT_EQ (UpdateEndpoint::getMessageUrl().toString (true), "http://127.0.0.1:5/updates/cutemessages.php");
    setenv (name, saved.toRawUTF8(), 1);
}

namespace
{
class VersionCheck : public test::UpdateFixture
{
protected:
    std::shared_ptr<std::vector<Result>> results = std::make_shared<std::vector<Result>>();

    void listen (VersionChecker& checker)
    {
        checker.onResult = [r = results] (Result result) { r->push_back (result); };
    }
    bool waitForResults (size_t n, int timeoutMs = 10000)
    {
        return test::pumpUntil ([&] { return results->size() >= n; }, timeoutMs);
    }
};
}

TEST_F (VersionCheck, AsksTheServiceAndReportsOnTheMessageThread)
{
    serveOverview ("1.1.1");
    VersionChecker checker;
    listen (checker);
    checker.check();
    ASSERT_TRUE (waitForResults (1));
    EXPECT_EQ (results->at (0).status, VersionChecker::updateAvailable);
    EXPECT_EQ (results->at (0).version, "1.1.1");
    EXPECT_EQ (results->at (0).body, "New things");
    EXPECT_EQ (results->at (0).downloadUrl.toString (true), juce::String (server.getBase() + "/files/update.zip"));

    const auto requests = server.getRequests();
    ASSERT_EQ (requests.size(), 1u);
    EXPECT_EQ (requests[0].method, "GET");
    EXPECT_EQ (requests[0].path, "/updates/19203/overview.xml");

    // The same object checks again.
    serveOverview ("1.1.0.9999");
    checker.check();
    ASSERT_TRUE (waitForResults (2));
    EXPECT_EQ (results->at (1).status, VersionChecker::upToDate);
}

TEST_F (VersionCheck, FailedRequestsAreErrors)
{
    test::LocalHttpServer::Reply big;
    big.body = "<data>" + std::string ((1 << 20) + 1000, ' ') + "</data>";
    test::LocalHttpServer::Reply moved;
    moved.status = 302;
    moved.location = "http://example.invalid/overview.xml";
    const struct { const char* name; test::LocalHttpServer::Reply reply; } cases[] = {
        { "404", { 404, overview ("1.1.1") } },
        { "over a megabyte", big },
        { "redirected to plain http elsewhere", moved },
    };
    for (const auto& c : cases)
    {
        server.serve ("GET", "/updates/19203/overview.xml", c.reply);
        results->clear();
        VersionChecker checker;
        listen (checker);
        checker.check();
        ASSERT_TRUE (waitForResults (1, 30000)) << c.name;
        EXPECT_EQ (results->at (0).status, VersionChecker::error) << c.name;
        EXPECT_EQ (results->at (0).message, VersionChecker::failedText) << c.name;
    }
}

TEST_F (VersionCheck, FollowsARedirectOnTheService)
{
    test::LocalHttpServer::Reply moved;
    moved.status = 302;
    moved.location = "/mirror/overview.xml";
    server.serve ("GET", "/updates/19203/overview.xml", moved);
    test::LocalHttpServer::Reply reply;
    reply.body = overview ("1.1.0.9999");
    server.serve ("GET", "/mirror/overview.xml", reply);

    VersionChecker checker;
    listen (checker);
    checker.check();
    ASSERT_TRUE (waitForResults (1));
    EXPECT_EQ (results->at (0).status, VersionChecker::upToDate);
    EXPECT_EQ (server.countRequests ("/mirror/overview.xml"), 1);
}

TEST_F (VersionCheck, AStalledServiceIsGivenUpOn)
{
    test::LocalHttpServer::Reply stall;
    stall.stall = true;
    server.serve ("GET", "/updates/19203/overview.xml", stall);
    VersionChecker checker;
    listen (checker);
    checker.check();
    // The time-out is 5 s; the bound leaves room for a loaded machine.
    ASSERT_TRUE (waitForResults (1, 30000));
    EXPECT_EQ (results->at (0).status, VersionChecker::error);
}

TEST_F (VersionCheck, DestroyingACheckerAbortsItsRequestAndDropsTheReport)
{
    test::LocalHttpServer::Reply stall;
    stall.stall = true;
    server.serve ("GET", "/updates/19203/overview.xml", stall);
    {
        VersionChecker checker;
        listen (checker);
        checker.check();
        ASSERT_TRUE (test::pumpUntil ([&] { return server.countRequests ("/updates/19203/overview.xml") == 1; }));
        const auto start = juce::Time::getMillisecondCounterHiRes();
        checker.stop();
        // Aborted, not timed out: well under the 5 s the request would otherwise wait.
        EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - start, 4000.0);
        EXPECT_FALSE (checker.isThreadRunning());
    }
    drainMessages();
    EXPECT_TRUE (results->empty());
}

TEST_F (VersionCheck, AReportQueuedWhenTheCheckerGoesIsDropped)
{
    serveOverview ("1.1.1");
    {
        VersionChecker checker;
        listen (checker);
        checker.check();
        // The report is posted before the thread ends; the message loop does not run meanwhile.
        ASSERT_TRUE (checker.waitForThreadToExit (10000));
    }
    drainMessages();
    EXPECT_TRUE (results->empty());
}
