#pragma once

#include "pages/PreferencesPages.h"
#include "pages/SideBarButton.h"
#include "ui/kit/LineComponent.h"
#include "ui/kit/SvgButton.h"
#include <juce_gui_basics/juce_gui_basics.h>

class VantrelController;

/** The content of the preferences window: a side bar of page buttons (and a heart button for
    the credits) on the left, one page at a time on the right. Pages are built on each press
    and deleted on the next, so nothing is kept, saved or cancelled with the window. */
class PreferencesView : public juce::Component, public juce::Button::Listener
{
public:
    struct SideBarEntry
    {
        int pageIndex;
        juce::String title;
        juce::Path icon;
        PreferencesPages::Page (*makePage) (VantrelController&);
    };

    explicit PreferencesView (VantrelController& controller);
    ~PreferencesView() override;

    void buttonClicked (juce::Button* button) override;
    /** Removes and deletes the page shown. */
    void clearPage();

    void resized() override;
    void paint (juce::Graphics& g) override;

    const juce::OwnedArray<SideBarButton>& getSideBarButtons() const { return sideBarButtons; }
    juce::Button& getHeartButton() { return heartButton; }
    /** The button pressed last, or none before the first press. */
    juce::Button* getSelectedButton() const { return selectedButton; }
    /** The page shown, or none. */
    juce::Component* getPage() const { return contentHolder.getChildComponent (0); }
    juce::Rectangle<int> getContentArea() const { return contentHolder.getBounds(); }

    static constexpr int sideBarWidth = 164;

private:
    juce::OwnedArray<SideBarButton> sideBarButtons;
    juce::OwnedArray<LineComponent> separators;
    SvgButton heartButton;
    std::vector<SideBarEntry> entries;
    juce::Component contentHolder;
    VantrelController& controller;
    juce::Button* selectedButton = nullptr;

    void showPage (PreferencesPages::Page page);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PreferencesView)
};
