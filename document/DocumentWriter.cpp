#include "document/DocumentWriter.h"

#include "document/Identifiers.h"
#include "document/TreeText.h"
#include "document/XmlFile.h"

DocumentWriter::DocumentWriter() : juce::Thread ("Document writer") {}

DocumentWriter::~DocumentWriter()
{
    {
        const std::lock_guard<std::mutex> guard (lock);
        stopping = true;
    }
    wake.notify_all();
    // Queued writes finish first: they hold edits that exist nowhere else.
    waitForThreadToExit (-1);
    cancelPendingUpdate();
}

void DocumentWriter::setFileLayer (FileLayer layer)
{
    const std::lock_guard<std::mutex> guard (lock);
    fileLayer = std::move (layer);
}

void DocumentWriter::submit (Job job)
{
    {
        const std::lock_guard<std::mutex> guard (lock);
        if (! queue.empty() && queue.back().target == job.target)
            queue.back() = std::move (job);
        else
            queue.push_back (std::move (job));
    }
    if (! isThreadRunning())
        startThread();
    wake.notify_one();
}

bool DocumentWriter::isBusy() const
{
    const std::lock_guard<std::mutex> guard (lock);
    return writing || ! queue.empty();
}

bool DocumentWriter::waitUntilDone (int timeoutMs)
{
    bool done = false;
    {
        std::unique_lock<std::mutex> guard (lock);
        done = finished.wait_for (guard, std::chrono::milliseconds (timeoutMs),
                                  [this] { return ! writing && queue.empty(); });
    }
    cancelPendingUpdate();
    report();
    return done;
}

void DocumentWriter::run()
{
    for (;;)
    {
        Job job;
        FileLayer layer;
        {
            std::unique_lock<std::mutex> guard (lock);
            wake.wait (guard, [this] { return stopping || ! queue.empty(); });
            if (queue.empty())
                return; // stopping, and nothing left to write
            job = std::move (queue.front());
            queue.pop_front();
            layer = fileLayer;
            writing = true;
        }

        Outcome outcome { job.target, layer (job), job.change };
        // The snapshot goes here, off the message thread: nothing else holds it.
        job = {};

        {
            const std::lock_guard<std::mutex> guard (lock);
            outcomes.push_back (std::move (outcome));
            writing = false;
        }
        finished.notify_all();
        triggerAsyncUpdate();
    }
}

void DocumentWriter::handleAsyncUpdate()
{
    report();
}

void DocumentWriter::report()
{
    std::vector<Outcome> ready;
    {
        const std::lock_guard<std::mutex> guard (lock);
        ready.swap (outcomes);
    }
    for (const auto& outcome : ready)
        if (onWritten)
            onWritten (outcome);
}

juce::Result DocumentWriter::writeFiles (const Job& job)
{
    // The "data" child lives in a file of its own, which nothing reads back; its failures
    // do not count.
    if (auto data = job.snapshot.getChildWithName (IDs::data); data.isValid())
    {
        juce::MemoryOutputStream stream;
        data.writeToStream (stream);
        if (stream.getDataSize() > 0)
            XmlFile::replaceWithData (job.verts, stream.getData(), stream.getDataSize());
        else
            job.verts.deleteFile();
    }

    return XmlFile::replaceWithStream (job.target, [&job] (juce::OutputStream& out)
                                       { TreeText::write (job.snapshot, out, IDs::data); });
}
