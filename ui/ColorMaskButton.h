#pragma once

#include "model/Category.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <memory>

/** One category in the "Show:" filter: an eye (shown) or a struck-out eye (hidden), the
    category's name and a bar in its colour. Clicking flips it. */
class ColorMaskButton : public juce::Button, private Category::Listener
{
public:
    explicit ColorMaskButton (std::shared_ptr<Category> category);
    ~ColorMaskButton() override;

    /** Runs after the category's colour changed and the button took the new one. */
    std::function<void()> onColourChanged;

    /** The colour this button stands for in the mask. */
    juce::Colour getColour() const { return findColour (juce::TextButton::buttonOnColourId); }
    const Category& getCategory() const { return *category; }

protected:
    void paintButton (juce::Graphics& g, bool highlighted, bool down) override;

private:
    void categoryColorChanged() override;
    void categoryNameChanged() override;
    void takeColour();

    std::shared_ptr<Category> category;
    juce::Path eyeIcon;
    juce::Path crossedEyeIcon;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ColorMaskButton)
};
