#pragma once

#include <juce_data_structures/juce_data_structures.h>
#include <juce_events/juce_events.h>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

/** Writes snapshots of a document on a thread of its own, so that formatting and writing a
    large document never holds the message thread.

    Writes happen one at a time in the order they were handed in; a snapshot handed in while
    an older one for the same file still waits its turn replaces that older one (the newer
    state holds every change of the older). Each outcome is reported on the message thread.

    The thread starts with the first write, on the thread that hands it in: a process that
    gave that thread a mount namespace of its own writes into that namespace. */
class DocumentWriter : private juce::Thread,
                       private juce::AsyncUpdater
{
public:
    struct Job
    {
        /** A copy of the document that nothing else changes. */
        juce::ValueTree snapshot;
        juce::File target;
        /** Where the snapshot's "data" child goes (it stays out of the target). */
        juce::File verts;
        /** The owner's count of changes when the snapshot was taken. */
        juce::uint64 change = 0;
    };

    struct Outcome
    {
        juce::File target;
        juce::Result result = juce::Result::ok();
        juce::uint64 change = 0;
    };

    /** Writes one job to the files. The default writes "verts" and then the target, each
        through a temporary file that replaces it; tests put a failing or stalling layer in. */
    using FileLayer = std::function<juce::Result (const Job&)>;

    DocumentWriter();
    /** Finishes the writes handed in (their outcomes are not reported) and joins the thread. */
    ~DocumentWriter() override;

    /** Called on the message thread with the outcome of every write, in order. */
    std::function<void (const Outcome&)> onWritten;

    /** Message thread. */
    void submit (Job job);

    /** Message thread: waits until every write handed in has finished, at most the given
        time, and reports the outcomes that are in. False when a write was still going. */
    bool waitUntilDone (int timeoutMs);

    /** True while a write waits or runs. */
    bool isBusy() const;

    void setFileLayer (FileLayer layer);

    /** The default file layer. */
    static juce::Result writeFiles (const Job& job);

private:
    mutable std::mutex lock;
    std::condition_variable wake, finished;
    std::deque<Job> queue;
    std::vector<Outcome> outcomes;
    FileLayer fileLayer { writeFiles };
    bool writing = false;
    bool stopping = false;

    void run() override;
    void handleAsyncUpdate() override;
    void report();

    JUCE_DECLARE_NON_COPYABLE (DocumentWriter)
};
