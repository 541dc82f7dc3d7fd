#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

/** The "Action" menu button of a panel: a click opens its menu; the chosen item id (0 when
    the menu was dismissed) goes to onItemChosen. */
class ActionDropdown : public juce::Component
{
public:
    ActionDropdown();

    std::function<void (int)> onItemChosen;

    void setMenu (juce::PopupMenu&& newMenu);
    /** True when the menu holds at least one item that is not a separator. */
    bool hasItems() const;

    void paint (juce::Graphics& g) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    juce::PopupMenu menu;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ActionDropdown)
};
