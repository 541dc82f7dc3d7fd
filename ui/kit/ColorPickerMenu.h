#pragma once

#include "ui/kit/ColorPicker.h"
#include "ui/kit/ColorPickerLookAndFeel.h"
#include <juce_gui_basics/juce_gui_basics.h>

/** A pop-up menu whose one item is a colour picker. The owner keeps it for its own lifetime,
    opens it at a component and listens to the picker. */
class ColorPickerMenu : public juce::PopupMenu
{
public:
    ColorPickerMenu();
    ~ColorPickerMenu();

    ColorPicker picker;

    /** Opens the pop-up without blocking, at the target component, or horizontally centred on
        the area (screen coordinates) when the area is not all zero. */
    void showFor (juce::Component& target, juce::Rectangle<int> screenArea);

    /** True while the pop-up is on screen. */
    bool isOpen() const;
    /** Closes the pop-up if it is open; its picker stays with this menu. */
    void close();

private:
    ColorPickerLookAndFeel lookAndFeel;

    JUCE_DECLARE_NON_COPYABLE (ColorPickerMenu)
};
