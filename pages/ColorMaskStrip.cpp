#include "pages/ColorMaskStrip.h"

#include <algorithm>

ColorMaskStrip::ColorMaskStrip (std::shared_ptr<CategoryManager> categories, std::shared_ptr<ColorMask> mask)
    : categoryManager (std::move (categories)), colorMask (std::move (mask))
{
    rebuild();
    categoryManager->addListener (this);
    colorMask->addListener (this);
}

ColorMaskStrip::~ColorMaskStrip()
{
    colorMask->removeListener (this);
    categoryManager->removeListener (this);
}

void ColorMaskStrip::rebuild()
{
    buttons.clear();
    int i = 0;
    for (const auto& category : categoryManager->getCategories())
    {
        if (! category->isUsed())
            continue;
        auto* button = buttons.add (std::make_unique<CategoryButton>());
        button->setCategory (category);
        addAndMakeVisible (button);
        button->setBounds ((cellSize + 10) * i, 8, cellSize + 10, cellSize - 16);
        button->onClick = [this] { applyToggles(); };
        ++i;
    }
    updateToggles();
}

juce::Colour ColorMaskStrip::colourOf (const CategoryButton& button)
{
    return button.findColour (juce::TextButton::buttonColourId, false);
}

void ColorMaskStrip::updateToggles()
{
    const auto hidden = colorMask->getColors();
    for (auto* button : buttons)
    {
        const auto argb = colourOf (*button).getARGB();
        const bool isHidden = std::any_of (hidden.begin(), hidden.end(),
                                           [argb] (juce::Colour c) { return c.getARGB() == argb; });
        button->setToggleState (! isHidden, juce::dontSendNotification);
    }
}

void ColorMaskStrip::applyToggles()
{
    // Only the colours of the toggles: a hidden colour that no cue uses hides nothing and goes.
    juce::Array<juce::Colour> hidden;
    for (auto* button : buttons)
        if (! button->getToggleState())
            hidden.add (colourOf (*button));
    colorMask->setColors (hidden);
}

int ColorMaskStrip::getPreferredWidth() const
{
    if (buttons.isEmpty())
        return 0;
    return buttons.getLast()->getBounds().getCentreX();
}
