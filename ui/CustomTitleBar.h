#pragma once

#include "ui/kit/SvgButton.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

/** The application's own 30 px title bar: logo, document name (the component name), an
    optional settings cog, and minimise, full-screen and close buttons. Dragging the bar moves
    the window. */
class CustomTitleBar : public juce::Component
{
public:
    CustomTitleBar();

    /** Run by the close button. */
    std::function<void()> onClose;
    /** Run by the settings button; the button is shown only while this is set. */
    std::function<void()> onSettings;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;

    SvgButton& getMinimiseButton() { return minimiseButton; }
    SvgButton& getFullScreenButton() { return fullScreenButton; }
    SvgButton& getCloseButton() { return closeButton; }
    SvgButton& getSettingsButton() { return settingsButton; }

private:
    juce::ComponentDragger dragger;
    juce::Image logo;
    SvgButton minimiseButton, fullScreenButton, closeButton, settingsButton;

    void minimise();
    void toggleFullScreen();
    void showFullScreenState();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CustomTitleBar)
};
