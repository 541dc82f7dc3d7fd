// One autosave of a 10,000-cue document (about 1.5 MB): the longest the message thread is held
// during the autosave's second (the edit, the wait and the write), how long the whole write takes, a quit right after an edit, and how much the process's
// memory grows during the write, beside the same numbers for converting the tree to XML and
// writing that on the message thread.
#include "document/AppData.h"
#include "document/Identifiers.h"
#include "document/XmlFile.h"
#include "support/LargeShow.h"
#include <benchmark/benchmark.h>
#include <atomic>
#include <malloc.h>
#include <thread>
#include <unistd.h>

namespace
{
using Clock = std::chrono::steady_clock;

double millisSince (Clock::time_point start)
{
    return std::chrono::duration<double, std::milli> (Clock::now() - start).count();
}

/** Memory in use on the heap. The resident size would hide the growth: the heap keeps what
    loading the document freed and hands it out again. */
juce::int64 residentBytes()
{
    const auto info = mallinfo2();
    return (juce::int64) (info.uordblks + info.hblkhd);
}

/** The largest heap use while it runs, sampled every half millisecond. */
class MemoryWatch
{
public:
    MemoryWatch() : base (residentBytes()), thread ([this] {
          while (! stop)
          {
              peak = std::max (peak.load(), residentBytes());
              std::this_thread::sleep_for (std::chrono::microseconds (500));
          }
      })
    {
    }
    juce::int64 finish()
    {
        stop = true;
        thread.join();
        return std::max (peak.load(), residentBytes()) - base;
    }

private:
    juce::int64 base;
    std::atomic<juce::int64> peak { 0 };
    std::atomic<bool> stop { false };
    std::thread thread;
};

/** The longest the message thread went without running a 1 ms timer. */
class StallWatch : private juce::Timer
{
public:
    StallWatch() { startTimer (1); }
    ~StallWatch() override { stopTimer(); }
    double longestMs = 0.0;

private:
    Clock::time_point last = Clock::now();
    void timerCallback() override
    {
        longestMs = std::max (longestMs, millisSince (last));
        last = Clock::now();
    }
};

void runLoopUntil (const std::function<bool()>& done)
{
    const auto start = Clock::now();
    while (! done() && millisSince (start) < 30'000)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
}

/** A 10,000-cue document as the last used file of the benchmark's home. */
juce::File prepareDocument()
{
    const auto file = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("shows/Large.xml");
    file.getParentDirectory().createDirectory();
    XmlFile::write (*test::makeLargeShow (10'000).createXml(), file);
    PreferencesHandler().setLastUsedFile (file);
    return file;
}

void edit (AppData& doc, int n)
{
    doc.getOrCreateChild (IDs::CueLists).setProperty ("note", n, AppData::getUndoManager());
}

void BM_Autosave (benchmark::State& state)
{
    const auto file = prepareDocument();
    AppData doc;
    bool saved = false;
    doc.savedStateChanged = [&] (bool s) { saved = s; };
    int n = 0;
    for (auto _ : state)
    {
        // The autosave runs 1 s after the edit; the stall watch sees the message thread's share.
        StallWatch stalls;
        MemoryWatch memory;
        const auto start = Clock::now();
        edit (doc, ++n);
        saved = false;
        runLoopUntil ([&] { return saved; });
        state.SetIterationTime (millisSince (start) / 1000.0);
        state.counters["message_thread_ms"] = stalls.longestMs;
        state.counters["growth_x_file"] = (double) memory.finish() / (double) file.getSize();
    }
    state.counters["file_KB"] = (double) file.getSize() / 1024.0;
}

/** The same second without any edit: how long the loaded machine itself holds the thread. */
void BM_MessageThreadWithoutWrites (benchmark::State& state)
{
    prepareDocument();
    AppData doc;
    for (auto _ : state)
    {
        StallWatch stalls;
        const auto start = Clock::now();
        runLoopUntil ([&] { return millisSince (start) > 1100.0; });
        state.SetIterationTime (millisSince (start) / 1000.0);
        state.counters["message_thread_ms"] = stalls.longestMs;
    }
}

/** The two ways of taking a snapshot on the message thread. */
void BM_SnapshotByCopy (benchmark::State& state)
{
    const auto root = test::makeLargeShow (10'000);
    for (auto _ : state)
        benchmark::DoNotOptimize (root.createCopy());
}

void BM_SnapshotByStream (benchmark::State& state)
{
    const auto root = test::makeLargeShow (10'000);
    for (auto _ : state)
    {
        juce::MemoryOutputStream out;
        root.writeToStream (out);
        benchmark::DoNotOptimize (out.getDataSize());
    }
}

/** The whole write on its own: snapshot, text, file, and the outcome back on the message thread. */
void BM_WholeWrite (benchmark::State& state)
{
    const auto file = prepareDocument();
    AppData doc;
    int n = 0;
    for (auto _ : state)
    {
        edit (doc, ++n);
        MemoryWatch memory;
        const auto start = Clock::now();
        doc.flushPendingWrite();
        state.SetIterationTime (millisSince (start) / 1000.0);
        state.counters["growth_x_file"] = (double) memory.finish() / (double) file.getSize();
    }
}

/** The same write made the way it was made before: XML on the message thread. */
void BM_WriteThroughXmlOnTheMessageThread (benchmark::State& state)
{
    const auto file = prepareDocument();
    AppData doc;
    for (auto _ : state)
    {
        MemoryWatch memory;
        const auto start = Clock::now();
        XmlFile::write (*doc.getRoot().createXml(), file);
        state.SetIterationTime (millisSince (start) / 1000.0);
        state.counters["message_thread_ms"] = millisSince (start);
        state.counters["growth_x_file"] = (double) memory.finish() / (double) file.getSize();
    }
}

void BM_QuitRightAfterAnEdit (benchmark::State& state)
{
    prepareDocument();
    for (auto _ : state)
    {
        auto doc = std::make_unique<AppData>();
        edit (*doc, 1);
        const auto start = Clock::now();
        doc->flushBeforeLeaving();
        doc.reset();
        state.SetIterationTime (millisSince (start) / 1000.0);
    }
}
}

BENCHMARK (BM_Autosave)->UseManualTime()->Iterations (5)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_MessageThreadWithoutWrites)->UseManualTime()->Iterations (5)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_SnapshotByCopy)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_SnapshotByStream)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_WholeWrite)->UseManualTime()->Iterations (5)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_WriteThroughXmlOnTheMessageThread)->UseManualTime()->Iterations (5)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_QuitRightAfterAnEdit)->UseManualTime()->Iterations (5)->Unit (benchmark::kMillisecond);
