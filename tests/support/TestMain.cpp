#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <X11/Xlib.h>

namespace
{
// Without a window manager Xvfb answers some of JUCE's atom requests with errors; the
// default Xlib handler would end the process. The application object installs its own
// forgiving handler, a bare test program has to do it itself.
int ignoreXError (Display*, XErrorEvent*) { return 0; }
}

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    XSetErrorHandler (ignoreXError);
    juce::ScopedJuceInitialiser_GUI juce;
    const int result = RUN_ALL_TESTS();
    juce::DeletedAtShutdown::deleteAll();
    return result;
}
