#pragma once

#include "model/CueList.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <memory>

/** One tab of the cue-list strip: the name of its list, bright and underlined in the accent
    while the list is live. Its component ID is the list's "uuid". */
class TabButton : public juce::Button,
                  private CueList::Listener
{
public:
    TabButton();
    ~TabButton() override;

    /** Runs after the tab's text changed, so the owner can lay the strip out again. */
    std::function<void()> onNameChange;

    /** Follows the list's name from now on; nothing happens for the list already held. */
    void setCueList (std::shared_ptr<CueList> newList);
    std::shared_ptr<CueList> getCueList() const { return list; }

    /** Keeps the position; the width fits the text in the tab's font for this height. */
    void updateWidth (int height);

    static juce::Font fontFor (int height);

    static constexpr juce::uint32 offTextColour = 0x59ffffff;
    static constexpr int underlineThickness = 3;

    void paintButton (juce::Graphics& g, bool highlighted, bool down) override;

private:
    std::shared_ptr<CueList> list;

    void cueListNameChanged() override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TabButton)
};
