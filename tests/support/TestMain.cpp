#include "platform/Platform.h"
#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <X11/Xlib.h>
#include <cstdlib>

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
    // Update checks started by the code under test (the controller's start-up check) meet a
    // closed loopback port at once instead of looking up a name; update tests set their own.
    setenv ("VANTREL_UPDATE_URL", "http://127.0.0.1:9", 0);
    // The framework asks the gsettings tool for the desktop's theme and scale, with HOME often
    // a test's temporary home. Its default backend writes a cache there and the framework
    // gives it 200 ms, so on a busy machine it could do so after the test deleted the folder.
    setenv ("GSETTINGS_BACKEND", "memory", 0);
    XSetErrorHandler (ignoreXError);
    // As in the application: tests that open the audio device manager scan for a JACK server
    // that is not running, and the library would print its connection errors every time.
    Platform::quietAudioServerMessages();
    juce::ScopedJuceInitialiser_GUI juce;
    const int result = RUN_ALL_TESTS();
    juce::DeletedAtShutdown::deleteAll();
    return result;
}
