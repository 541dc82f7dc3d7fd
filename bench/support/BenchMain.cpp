// The one main of every benchmark program: what they all need around Google Benchmark.
#include "ui/kit/VantrelLookAndFeel.h"
#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <X11/Xlib.h>
#include <cstdlib>

namespace
{
// Without a window manager Xvfb answers some of JUCE's atom requests with errors; the
// default Xlib handler would end the process.
int ignoreXError (Display*, XErrorEvent*) { return 0; }
}

int main (int argc, char** argv)
{
    // Settings, audio device state and documents land in a throw-away home, never the user's.
    const auto home = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("vantrel-bench", "");
    home.createDirectory();
    setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
    XSetErrorHandler (ignoreXError);
    {
        juce::ScopedJuceInitialiser_GUI juce;
        // Views are measured with the fonts and colours the application draws with.
        VantrelLookAndFeel lookAndFeel;
        juce::Desktop::getInstance().setDefaultLookAndFeel (&lookAndFeel);

        benchmark::Initialize (&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();

        juce::Desktop::getInstance().setDefaultLookAndFeel (nullptr);
        juce::DeletedAtShutdown::deleteAll();
    }
    home.deleteRecursively();
    return 0;
}
