#pragma once

#include "model/CategoryManager.h"
#include "model/ColorMask.h"
#include "pages/CategoryButton.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

/** One server's colour mask as a row of toggles, one per category in use, 50 px apart: lit
    while the server's browsers see that category's colour, dark while the mask hides it.
    A click writes exactly the colours of the dark toggles as the new mask, one undo step. */
class ColorMaskStrip : public juce::Component,
                       private CategoryManager::Listener,
                       private ColorMask::Listener
{
public:
    ColorMaskStrip (std::shared_ptr<CategoryManager> categoryManager, std::shared_ptr<ColorMask> colorMask);
    ~ColorMaskStrip() override;

    void rebuild();
    /** Lights each toggle whose colour the mask does not hide. */
    void updateToggles();
    /** Stores the colours of the dark toggles as the mask. */
    void applyToggles();
    /** The horizontal centre of the last toggle; 0 without toggles. */
    int getPreferredWidth() const;

    const juce::OwnedArray<CategoryButton>& getButtons() const { return buttons; }
    const std::shared_ptr<ColorMask>& getColorMask() const { return colorMask; }

private:
    std::shared_ptr<CategoryManager> categoryManager;
    std::shared_ptr<ColorMask> colorMask;
    int cellSize = 40;
    juce::OwnedArray<CategoryButton> buttons;

    static juce::Colour colourOf (const CategoryButton& button);

    void categoriesChanged() override { rebuild(); }
    void colorMaskChanged() override { updateToggles(); }

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ColorMaskStrip)
};
