// Importing a 10,000-line marker export: reading, cue and category linking, sorting and
// writing the list's node.

#include "model/CategoryManager.h"
#include "model/CueList.h"
#include <benchmark/benchmark.h>

namespace
{
juce::File makeExport (const juce::File& folder, int lines)
{
    const char* colours[] = { "D52FD5", "3FB6DC", "CFB228", "7540EE", "26D256", "FF7052", "D52F3F", "2F61D5" };
    juce::MemoryOutputStream out;
    out << "#,Name,Start,End,Length,Color\r\n";
    for (int i = 0; i < lines; ++i)
    {
        const int frames = i * 37;
        const int seconds = frames / 25;
        out << "M" << (i + 1) << ",\"Cue " << i << ", take " << (i % 3) << "\","
            << juce::String::formatted ("%02d:%02d:%02d:%02d", seconds / 3600, (seconds / 60) % 60, seconds % 60, frames % 25)
            << ",,," << colours[i % 8] << "\r\n";
    }
    auto file = folder.getChildFile ("Marker export.csv");
    file.replaceWithData (out.getData(), out.getDataSize());
    return file;
}

void importExport (benchmark::State& state)
{
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    auto categories = std::make_shared<CategoryManager>();
    const auto file = makeExport (home, (int) state.range (0));
    for (auto _ : state)
    {
        CueList list (file, 25, categories);
        if (list.getCues().size() != (size_t) state.range (0))
            state.SkipWithError ("import failed");
        benchmark::DoNotOptimize (list.getCues().data());
    }
    state.SetItemsProcessed (state.iterations() * state.range (0));
}
}

BENCHMARK (importExport)->Arg (10000)->Unit (benchmark::kMillisecond);
