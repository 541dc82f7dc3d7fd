#include "TestZip.h"
#include "UpdateFixture.h"
#include "update/DownloadAndInstallThread.h"

#include <atomic>
#include <malloc.h>

using Thread = DownloadAndInstallThread;
using Kind = test::TestZip::Kind;

namespace
{
struct Event
{
    std::string kind; // "progress", "finished", "quit"
    juce::String text;
    float fraction = 0.0f;
    bool ok = false;
};
using Events = std::shared_ptr<std::vector<Event>>;

class Download : public test::UpdateFixture
{
protected:
    Events events = std::make_shared<std::vector<Event>>();
    juce::File marker = home.getHome().getChildFile ("marker.txt");
    std::shared_ptr<std::atomic<int>> starts = std::make_shared<std::atomic<int>> (0);

    void SetUp() override { downloads().createDirectory(); }

    juce::File downloads() const { return home.getHome().getChildFile ("Downloads"); }

    void emptyDownloads()
    {
        downloads().deleteRecursively();
        downloads().createDirectory();
    }

    /** Counts the programs the thread starts instead of starting them. */
    void countStarts (Thread& thread)
    {
        thread.programStarter = [s = starts] (const juce::File&)
        {
            ++*s;
            return true;
        };
    }

    void attach (Thread& thread)
    {
        thread.onProgress = [e = events] (juce::String step, float f) { e->push_back ({ "progress", step, f, false }); };
        thread.onFinished = [e = events] (bool ok, juce::String text) { e->push_back ({ "finished", text, 0.0f, ok }); };
        thread.onQuit = [e = events] { e->push_back ({ "quit", {}, 0.0f, false }); };
    }

    /** A program that lists its open descriptors into the marker file. */
    std::string markerScript() const
    {
        return "#!/bin/sh\nls -l /proc/$$/fd > '" + marker.getFullPathName().toStdString() + "'\n";
    }

    void serveArchive (const std::string& bytes, bool withLength = true, const std::string& path = "/files/update.zip")
    {
        test::LocalHttpServer::Reply reply;
        reply.body = bytes;
        reply.withLength = withLength;
        server.serve ("GET", path, reply);
    }

    juce::URL archiveUrl (const std::string& path = "/files/update.zip") const
    {
        return juce::URL (server.getBase() + path);
    }

    /** Runs one download and install to its end (a report, the thread gone, all delivered). */
    void runToEnd (Thread& thread, const juce::URL& url)
    {
        attach (thread);
        thread.downloadAndInstall (url);
        ASSERT_TRUE (test::pumpUntil ([&] { return ! thread.isThreadRunning() && count ("finished") > 0; }, 20000));
        drainMessages();
    }

    int count (const std::string& kind) const
    {
        return (int) std::count_if (events->begin(), events->end(), [&] (const Event& e) { return e.kind == kind; });
    }

    std::vector<std::pair<juce::String, float>> progress() const
    {
        std::vector<std::pair<juce::String, float>> steps;
        for (const auto& e : *events)
            if (e.kind == "progress")
                steps.emplace_back (e.text, e.fraction);
        return steps;
    }

    const Event& finished() const
    {
        return *std::find_if (events->begin(), events->end(), [] (const Event& e) { return e.kind == "finished"; });
    }
};
}

TEST_F (Download, ATwentyThousandByteArchiveIsUnpackedStartedAndTheApplicationQuits)
{
    const auto zip = test::TestZip().add ("install.sh", markerScript()).add ("docs/readme.txt", "hello").padTo (20000).bytes();
    ASSERT_EQ (zip.size(), 20000u);
    serveArchive (zip);
    // A file of the same name in Downloads stays as it is.
    downloads().getChildFile ("install.sh").replaceWithText ("the user's own");

    Thread thread;
    runToEnd (thread, archiveUrl());

    const auto steps = progress();
    ASSERT_EQ (steps.size(), 5u);
    EXPECT_EQ (steps[0].first, "Downloading");
    EXPECT_NEAR (steps[0].second, 0.41f, 0.005f);
    EXPECT_NEAR (steps[1].second, 0.82f, 0.005f);
    EXPECT_EQ (steps[2], std::make_pair (juce::String ("Downloading"), 1.0f));
    EXPECT_EQ (steps[3], std::make_pair (juce::String ("Unzipping"), 1.0f));
    EXPECT_EQ (steps[4], std::make_pair (juce::String ("Restarting"), 1.0f));
    EXPECT_TRUE (finished().ok);
    EXPECT_EQ (finished().text, "");
    ASSERT_EQ (events->back().kind, "quit") << "the quit comes after the success report";
    EXPECT_EQ (count ("quit"), 1);

    const auto requests = server.getRequests();
    ASSERT_EQ (requests.size(), 1u);
    EXPECT_EQ (requests[0].headers.at ("accept"), "application/octet-stream");

    const auto folder = downloads().getChildFile ("Vantrel update");
    EXPECT_EQ (thread.getInstaller(), folder.getChildFile ("install.sh"));
    EXPECT_EQ (folder.getChildFile ("docs/readme.txt").loadFileAsString(), "hello");
    EXPECT_EQ (downloads().getChildFile ("install.sh").loadFileAsString(), "the user's own");

    // The program ran, without a shell of ours, and inherited no socket (this process holds
    // the test service's listening socket, open across exec).
    ASSERT_TRUE (test::pumpUntil ([&] { return marker.loadFileAsString().contains ("->"); }, 30000))
        << "marker: '" << marker.loadFileAsString() << "', program "
        << (thread.getInstaller().existsAsFile() ? "present" : "missing");
    juce::StringArray lines;
    lines.addLines (marker.loadFileAsString());
    for (const auto& line : lines)
    {
        const auto fd = line.fromLastOccurrenceOf (" -> ", false, false).isNotEmpty()
                            ? line.upToLastOccurrenceOf (" -> ", false, false).fromLastOccurrenceOf (" ", false, false).getIntValue()
                            : -1;
        EXPECT_FALSE (fd > 2 && line.contains ("socket:")) << line;
    }

    // A second update goes into a folder of its own again.
    events->clear();
    runToEnd (thread, archiveUrl());
    EXPECT_EQ (thread.getInstaller(), downloads().getChildFile ("Vantrel update (2)/install.sh"));
}

TEST_F (Download, AReplyWithoutALengthIsReadInChunksAtFractionZero)
{
    serveArchive (test::TestZip().add ("install.sh", markerScript()).padTo (20000).bytes(), false);
    Thread thread;
    runToEnd (thread, archiveUrl());

    const auto steps = progress();
    ASSERT_EQ (steps.size(), 5u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ (steps[(size_t) i], std::make_pair (juce::String ("Downloading"), 0.0f));
    EXPECT_EQ (steps[3].first, "Unzipping");
    EXPECT_TRUE (finished().ok);
    EXPECT_EQ (count ("quit"), 1);
}

TEST_F (Download, FailuresAreReportedAndNothingIsStarted)
{
    const auto good = test::TestZip().add ("install.sh", markerScript()).bytes();
    test::LocalHttpServer::Reply missing { 404, "gone" };
    test::LocalHttpServer::Reply notZip { 200, std::string (3000, 'x') };
    test::LocalHttpServer::Reply shortReply { 200, good.substr (0, good.size() / 2) };
    shortReply.announcedLength = (long long) good.size();
    test::LocalHttpServer::Reply elsewhere { 302, "" };
    elsewhere.location = "http://example.invalid/update.zip";
    test::LocalHttpServer::Reply twice { 302, "" };
    twice.location = "/files/hop.zip";
    test::LocalHttpServer::Reply hop { 302, "" };
    hop.location = "/files/update2.zip";

    auto archive = [] (const test::TestZip& zip) { return test::LocalHttpServer::Reply { 200, zip.bytes() }; };
    const struct { const char* name; test::LocalHttpServer::Reply reply; juce::String text; bool unpacks; } cases[] = {
        { "404", missing, Thread::downloadFailedText, false },
        { "not a zip", notZip, Thread::notValidText, false },
        { "fewer bytes than announced", shortReply, Thread::downloadFailedText, false },
        { "redirect to plain http elsewhere", elsewhere, Thread::downloadFailedText, false },
        { "two redirects", twice, Thread::downloadFailedText, false },
        { "symbolic link entry", archive (test::TestZip().add ("install.sh", markerScript()).add ("link", "/etc", Kind::symlink)),
          Thread::notValidText, false },
        { "entry climbing out", archive (test::TestZip().add ("install.sh", markerScript()).add ("../escaped.txt", "x")),
          Thread::notValidText, false },
        { "absolute entry", archive (test::TestZip().add ("/tmp/vantrel-absolute.txt", "x")), Thread::notValidText, false },
        { "first entry is not a program", archive (test::TestZip().add ("notes.txt", "just text")),
          Thread::restartFailedText, true },
        { "first entry is a folder", archive (test::TestZip().add ("folder/", "", Kind::folder).add ("folder/a", "a")),
          Thread::restartFailedText, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        server.serve ("GET", "/files/update.zip", c.reply);
        server.serve ("GET", "/files/hop.zip", hop);
        serveArchive (good, true, "/files/update2.zip");
        events->clear();
        downloads().deleteRecursively();
        downloads().createDirectory();

        Thread thread;
        runToEnd (thread, archiveUrl());
        EXPECT_EQ (count ("finished"), 1);
        EXPECT_FALSE (finished().ok);
        EXPECT_EQ (finished().text, c.text);
        EXPECT_EQ (count ("quit"), 0);
        EXPECT_EQ (downloads().getChildFile ("Vantrel update").isDirectory(), c.unpacks);
        EXPECT_FALSE (home.getHome().getChildFile ("escaped.txt").exists());
        EXPECT_FALSE (marker.exists());
        if (juce::String (c.name) == "404")
        {
            EXPECT_EQ (count ("progress"), 0);
        }
        if (c.text == Thread::downloadFailedText)
        {
            for (const auto& step : progress())
                EXPECT_EQ (step.first, "Downloading");
        }
    }
    EXPECT_FALSE (juce::File ("/tmp/vantrel-absolute.txt").exists());
}

TEST_F (Download, CancelReportsOnceAndStopsBeforeUnzipping)
{
    test::LocalHttpServer::Reply stall;
    stall.stall = true;
    server.serve ("GET", "/files/update.zip", stall);

    Thread thread;
    attach (thread);
    thread.downloadAndInstall (archiveUrl());
    ASSERT_TRUE (test::pumpUntil ([&] { return server.countRequests ("/files/update.zip") == 1; }));
    thread.cancel();
    thread.cancel();
    ASSERT_TRUE (test::pumpUntil ([&] { return ! thread.isThreadRunning(); }, 4000)) << "the request was aborted";
    drainMessages();

    EXPECT_EQ (count ("finished"), 1);
    EXPECT_FALSE (finished().ok);
    EXPECT_EQ (finished().text, Thread::cancelledText);
    EXPECT_EQ (count ("progress"), 0);
}

TEST_F (Download, DestroyingTheThreadDuringADownloadJoinsItAndDropsItsReports)
{
    test::LocalHttpServer::Reply stall;
    stall.stall = true;
    server.serve ("GET", "/files/update.zip", stall);
    auto start = 0.0;
    {
        Thread thread;
        attach (thread);
        thread.downloadAndInstall (archiveUrl());
        ASSERT_TRUE (test::pumpUntil ([&] { return server.countRequests ("/files/update.zip") == 1; }));
        start = juce::Time::getMillisecondCounterHiRes();
    }
    // Aborted, not timed out: well under the 5 s the stalled request would otherwise wait.
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - start, 4000.0);
    drainMessages();
    EXPECT_TRUE (events->empty());
}

TEST_F (Download, AnEntryThatUnpacksToMoreThanItDeclaredIsStoppedAndLeavesNothingBehind)
{
    // Each entry claims one byte and inflates to 4 MiB from a few kilobytes.
    constexpr juce::int64 testLimit = 1 << 20;
    const struct { const char* name; test::TestZip zip; juce::int64 limit; } cases[] = {
        { "the first entry lies, past the limit", test::TestZip().addZeros ("install.sh", 4 << 20, 1), testLimit },
        { "a later entry lies, past the limit",
          test::TestZip().add ("install.sh", markerScript()).addZeros ("data.bin", 4 << 20, 1), testLimit },
        { "an entry lies, well below the limit",
          test::TestZip().add ("install.sh", markerScript()).addZeros ("data.bin", 4 << 20, 1),
          Thread::defaultMaxUnpackedBytes },
        { "honest entries over the limit together",
          test::TestZip().add ("install.sh", markerScript()).addZeros ("a.bin", 600 << 10).addZeros ("b.bin", 600 << 10),
          testLimit },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        serveArchive (c.zip.bytes());
        events->clear();
        emptyDownloads();

        Thread thread (c.limit);
        countStarts (thread);
        runToEnd (thread, archiveUrl());
        EXPECT_EQ (count ("finished"), 1);
        EXPECT_FALSE (finished().ok);
        EXPECT_EQ (finished().text, Thread::notValidText);
        EXPECT_EQ (count ("quit"), 0);
        EXPECT_EQ (starts->load(), 0);
        EXPECT_EQ (downloads().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0)
            << "left behind: " << downloads().findChildFiles (juce::File::findFilesAndDirectories, true)[0].getFullPathName();
    }
}

TEST_F (Download, ACancelOrAStopDuringALongEntryEndsItSoonAndLeavesNothingBehind)
{
    // 512 MiB of zeros (half a megabyte to download), declared honestly: only the cancel can
    // end it early.
    serveArchive (test::TestZip().add ("install.sh", markerScript()).addZeros ("payload.bin", 1ull << 29).bytes());
    const auto payload = downloads().getChildFile ("Vantrel update/payload.bin");

    for (const bool destroy : { false, true })
    {
        SCOPED_TRACE (destroy ? "the thread is destroyed" : "cancelled");
        events->clear();
        emptyDownloads();

        auto thread = std::make_unique<Thread>();
        attach (*thread);
        countStarts (*thread);
        thread->downloadAndInstall (archiveUrl());
        ASSERT_TRUE (test::pumpUntil ([&] { return payload.getSize() > 0; }, 20000)) << "the long entry is being written";

        // The bound is generous for a loaded machine; a cancel that waited for the entry would
        // write 512 MiB first.
        if (destroy)
        {
            const auto start = juce::Time::getMillisecondCounterHiRes();
            thread.reset();
            EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - start, 5000.0);
        }
        else
        {
            thread->cancel();
            ASSERT_TRUE (test::pumpUntil ([&] { return ! thread->isThreadRunning(); }, 5000));
        }
        drainMessages();

        EXPECT_FALSE (payload.getParentDirectory().exists()) << payload.getSize() << " bytes left";
        EXPECT_EQ (starts->load(), 0);
        EXPECT_EQ (count ("quit"), 0);
        EXPECT_EQ (count ("finished"), destroy ? 0 : 1);
        if (! destroy && count ("finished") == 1)
        {
            EXPECT_EQ (finished().text, Thread::cancelledText);
        }
    }
}

TEST_F (Download, ACancelAroundTheStartHasExactlyOneOutcome)
{
    serveArchive (test::TestZip().add ("install.sh", markerScript()).bytes());

    // Where the cancel lands: inside the start itself (on the worker thread, after the start
    // was decided), or from the message thread right away or when a step is announced.
    enum When { duringStart, atOnce, atUnzipping, atRestarting, kinds };
    for (int run = 0; run < 40; ++run)
    {
        const auto when = (When) (run % kinds);
        SCOPED_TRACE ("run " + std::to_string (run) + ", cancel " + std::to_string ((int) when));
        events->clear();
        starts->store (0);

        Thread thread;
        attach (thread);
        thread.programStarter = [s = starts, t = &thread, when] (const juce::File&)
        {
            if (when == duringStart)
                t->cancel();
            ++*s;
            return true;
        };
        if (when == atUnzipping || when == atRestarting)
            thread.onProgress = [e = events, t = &thread, step = juce::String (when == atUnzipping ? "Unzipping" : "Restarting")] (
                                    juce::String text, float f)
            {
                e->push_back ({ "progress", text, f, false });
                if (text == step)
                    t->cancel();
            };
        thread.downloadAndInstall (archiveUrl());
        if (when == atOnce)
            thread.cancel();
        ASSERT_TRUE (test::pumpUntil ([&] { return ! thread.isThreadRunning() && count ("finished") > 0; }, 20000));
        drainMessages();

        const bool started = starts->load() == 1 && count ("quit") == 1 && count ("finished") == 1 && finished().ok;
        const bool cancelled = starts->load() == 0 && count ("quit") == 0 && count ("finished") == 1
                               && finished().text == Thread::cancelledText;
        EXPECT_TRUE (started != cancelled) << "starts " << starts->load() << ", quits " << count ("quit")
                                           << ", reports " << count ("finished") << ", first: " << finished().text;
        if (when == duringStart)
        {
            EXPECT_TRUE (started) << "the start was decided before the cancel";
        }
    }
}

TEST_F (Download, MemoryFollowsTheBytesReceivedNotTheAnnouncedLength)
{
    // 200 MB announced, 16 KiB sent, then the connection stays open.
    test::LocalHttpServer::Reply trickle { 200, std::string (16384, 'z') };
    trickle.announcedLength = 200 << 20;
    trickle.holdOpen = true;
    server.serve ("GET", "/files/update.zip", trickle);
    // The heap as the C library counts it (a sanitizer's own allocator reports nothing here).
    auto heapInUse = [] { const auto info = mallinfo2(); return (juce::int64) (info.uordblks + info.hblkhd); };

    const auto before = heapInUse();
    Thread thread;
    attach (thread);
    thread.downloadAndInstall (archiveUrl());
    ASSERT_TRUE (test::pumpUntil ([&] { return count ("progress") >= 2; }));
    EXPECT_LT (heapInUse() - before, (juce::int64) 32 << 20);

    thread.cancel();
    EXPECT_TRUE (test::pumpUntil ([&] { return ! thread.isThreadRunning(); }));
}
