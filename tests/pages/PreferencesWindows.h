#pragma once

#include "pages/PreferencesView.h"
#include "ui/DesktopWindow.h"
#include "ui/MainComponent.h"
#include "ui/PeerInput.h"

namespace test
{
/** The two windows as the application opens them: the main window, then the preferences
    window over it, driven through the preferences window's native peer. */
template <typename Fixture>
struct WithPreferencesWindows : Fixture
{
    MainComponent* mainContent = new MainComponent (this->controller, new juce::Component());
    DesktopWindow mainWindow { mainContent };
    PreferencesView* view = new PreferencesView (this->controller);
    MainComponent* prefsContent = new MainComponent (this->controller, view);
    DesktopWindow prefsWindow { prefsContent };
    PeerMouse mouse { prefsWindow };

    juce::ComponentPeer& peer() { return *prefsWindow.getPeer(); }
};
} // namespace test
