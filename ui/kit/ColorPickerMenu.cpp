#include "ui/kit/ColorPickerMenu.h"

ColorPickerMenu::ColorPickerMenu()
{
    setLookAndFeel (&lookAndFeel);
    addCustomItem (1, picker, picker.getWidth(), picker.getHeight(), false, nullptr, {});
}

ColorPickerMenu::~ColorPickerMenu()
{
    // The pop-up window holds the picker and draws with this look-and-feel: neither may
    // outlive the menu in it.
    close();
    if (auto* window = picker.getTopLevelComponent(); window != &picker)
        window->setLookAndFeel (nullptr);
    setLookAndFeel (nullptr);
}

void ColorPickerMenu::showFor (juce::Component& target, juce::Rectangle<int> screenArea)
{
    auto options = juce::PopupMenu::Options().withTargetComponent (&target);
    if (screenArea != juce::Rectangle<int>())
        options = options.withTargetScreenArea ({ screenArea.getX() + screenArea.getWidth() / 2 - picker.getWidth() / 2,
                                                  screenArea.getY(), screenArea.getWidth(), screenArea.getHeight() });
    showMenuAsync (options);

    // The window is made at once: from here on the picker knows where it landed.
    if (picker.isShowing())
        picker.setOpenedAbove (picker.getScreenY() < screenArea.getBottom());
}

bool ColorPickerMenu::isOpen() const
{
    return picker.isShowing();
}

void ColorPickerMenu::close()
{
    if (isOpen())
        juce::PopupMenu::dismissAllActiveMenus();
}
