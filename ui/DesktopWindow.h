#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A top-level window whose own framework title bar has zero height: the content draws its
    own. A close request from the system quits the application. */
class DesktopWindow : public juce::DocumentWindow
{
public:
    explicit DesktopWindow (juce::Component* contentOwned);

    void closeButtonPressed() override;

    /** Sets the native window's title (what the window manager and task bar show). */
    void setNativeTitle (const juce::String& title);

protected:
    void focusGained (FocusChangeType cause) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DesktopWindow)
};
