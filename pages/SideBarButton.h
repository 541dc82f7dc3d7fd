#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** One entry of the preferences side bar: an icon and a title on a background rounded on its
    left, marked with an accent bar and a darker fill while it is the selected entry. */
class SideBarButton : public juce::TextButton
{
public:
    /** The fill of the selected entry. */
    static constexpr juce::uint32 selectedFill = 0xff1d1929;

    SideBarButton (const juce::String& title, const juce::Path& icon);

    void resized() override;

protected:
    void paintButton (juce::Graphics& g, bool highlighted, bool down) override;

private:
    juce::Path background;
    juce::Path selectionMark;
    juce::Path icon;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SideBarButton)
};
