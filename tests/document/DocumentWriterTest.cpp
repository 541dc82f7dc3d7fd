#include "document/DocumentWriter.h"
#include "support/MessageLoop.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>
#include <atomic>

namespace
{
/** A file layer that holds its first write until released and records every write. */
struct HeldLayer
{
    juce::WaitableEvent entered, release;
    std::mutex lock;
    std::vector<juce::String> written; // "target:n" of each job, in order

    DocumentWriter::FileLayer layer()
    {
        return [this] (const DocumentWriter::Job& job)
        {
            bool first = false;
            {
                const std::lock_guard<std::mutex> guard (lock);
                first = written.empty();
                written.push_back (job.target.getFileName() + ":" + job.snapshot["n"].toString());
            }
            if (first)
            {
                entered.signal();
                release.wait (20'000);
            }
            return DocumentWriter::writeFiles (job);
        };
    }

    std::vector<juce::String> jobs()
    {
        const std::lock_guard<std::mutex> guard (lock);
        return written;
    }
};

DocumentWriter::Job jobFor (const juce::File& target, int n)
{
    return { juce::ValueTree ("Doc").setProperty ("n", n, nullptr), target, {}, (juce::uint64) n };
}
}

TEST (DocumentWriter, WritesInOrderAndANewerSnapshotReplacesAQueuedOneForTheSameFile)
{
    test::TempHome home;
    const auto a = home.getHome().getChildFile ("A.xml");
    const auto b = home.getHome().getChildFile ("B.xml");
    HeldLayer held;
    std::vector<juce::String> reported;

    DocumentWriter writer;
    writer.setFileLayer (held.layer());
    writer.onWritten = [&] (const DocumentWriter::Outcome& o)
    {
        EXPECT_TRUE (juce::MessageManager::getInstance()->isThisTheMessageThread());
        EXPECT_TRUE (o.result.wasOk()) << o.result.getErrorMessage();
        reported.push_back (o.target.getFileName() + ":" + juce::String ((int) o.change));
    };

    writer.submit (jobFor (a, 1));
    ASSERT_TRUE (held.entered.wait (10'000));
    // While the first write is held: A2 is replaced by A3; B1 (another file) is not
    // replaced by the A snapshots around it, and B2 replaces B1.
    const std::pair<juce::File, int> later[] = { { a, 2 }, { a, 3 }, { b, 1 }, { b, 2 } };
    for (const auto& [file, n] : later)
        writer.submit (jobFor (file, n));
    EXPECT_TRUE (writer.isBusy());

    held.release.signal();
    ASSERT_TRUE (test::pumpUntil ([&] { return reported.size() == 3; }));
    EXPECT_EQ (held.jobs(), (std::vector<juce::String> { "A.xml:1", "A.xml:3", "B.xml:2" }));
    EXPECT_EQ (reported, (std::vector<juce::String> { "A.xml:1", "A.xml:3", "B.xml:2" }));
    EXPECT_EQ (test::readBytes (a), "<Doc n=\"3\"/>\r\n");
    EXPECT_EQ (test::readBytes (b), "<Doc n=\"2\"/>\r\n");
    EXPECT_FALSE (writer.isBusy());
}

TEST (DocumentWriter, WaitingIsBoundedAndTheDestructorFinishesQueuedWrites)
{
    test::TempHome home;
    const auto a = home.getHome().getChildFile ("A.xml");
    HeldLayer held;
    int reported = 0;
    {
        DocumentWriter writer;
        writer.setFileLayer (held.layer());
        writer.onWritten = [&] (const DocumentWriter::Outcome&) { ++reported; };
        writer.submit (jobFor (a, 1));
        ASSERT_TRUE (held.entered.wait (10'000));
        writer.submit (jobFor (a, 2));

        EXPECT_FALSE (writer.waitUntilDone (100)) << "the first write is still held";
        EXPECT_EQ (reported, 0);

        held.release.signal();
        EXPECT_TRUE (writer.waitUntilDone (10'000));
        EXPECT_EQ (reported, 2) << "outcomes that are in are reported by the wait";

        // Queued at the end: the destructor writes it before it returns.
        writer.submit (jobFor (a, 3));
    }
    EXPECT_EQ (test::readBytes (a), "<Doc n=\"3\"/>\r\n");
}

TEST (DocumentWriter, AFailureIsReportedWithItsReason)
{
    test::TempHome home;
    const auto folder = home.getHome().getChildFile ("Taken.xml");
    folder.createDirectory();
    std::vector<DocumentWriter::Outcome> outcomes;

    DocumentWriter writer;
    writer.onWritten = [&] (const DocumentWriter::Outcome& o) { outcomes.push_back (o); };
    writer.submit (jobFor (folder, 1));
    ASSERT_TRUE (test::pumpUntil ([&] { return ! outcomes.empty(); }));
    EXPECT_EQ (outcomes[0].target, folder);
    EXPECT_EQ (outcomes[0].result.getErrorMessage(), "a folder has that name");
}
