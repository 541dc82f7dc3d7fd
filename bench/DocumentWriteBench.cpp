// One autosave of a 10,000-cue document (about 1.7 MB): how long the message thread is held,
// how long the whole write takes, a quit right after an edit, and how much the process's
// memory grows during the write, beside the same numbers for converting the tree to XML and
// writing that on the message thread.
#include "document/AppData.h"
#include "document/Identifiers.h"
#include "document/XmlFile.h"
#include "support/LargeShow.h"
#include <benchmark/benchmark.h>
#include <atomic>
#include <thread>
#include <unistd.h>

namespace
{
using Clock = std::chrono::steady_clock;

double millisSince (Clock::time_point start)
{
    return std::chrono::duration<double, std::milli> (Clock::now() - start).count();
}

juce::int64 residentBytes()
{
    juce::StringArray fields;
    fields.addTokens (juce::File ("/proc/self/statm").loadFileAsString(), " ", "");
    return fields[1].getLargeIntValue() * (juce::int64) sysconf (_SC_PAGESIZE);
}

/** The largest resident size while it runs, sampled every half millisecond. */
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
        const auto whole = millisSince (start) - 1000.0; // less the autosave delay
        state.SetIterationTime (whole / 1000.0);
        state.counters["message_thread_ms"] = stalls.longestMs;
        state.counters["write_ms"] = whole;
        state.counters["growth_x_file"] = (double) memory.finish() / (double) file.getSize();
    }
    state.counters["file_KB"] = (double) file.getSize() / 1024.0;
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
BENCHMARK (BM_WriteThroughXmlOnTheMessageThread)->UseManualTime()->Iterations (5)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_QuitRightAfterAnEdit)->UseManualTime()->Iterations (5)->Unit (benchmark::kMillisecond);
