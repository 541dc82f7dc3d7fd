#include "pages/CategoryButton.h"

CategoryButton::CategoryButton()
    : juce::Button ("CategoryButton")
{
    setClickingTogglesState (true);
}

CategoryButton::~CategoryButton()
{
    if (category != nullptr)
        category->removeListener (this);
}

void CategoryButton::setCategory (std::shared_ptr<Category> newCategory)
{
    if (newCategory == category)
        return;
    if (category != nullptr)
        category->removeListener (this);
    category = std::move (newCategory);
    if (category != nullptr)
    {
        category->addListener (this);
        categoryColorChanged();
    }
}

void CategoryButton::categoryColorChanged()
{
    if (category != nullptr)
        setColour (juce::TextButton::buttonColourId, category->getColor());
    repaint();
}

void CategoryButton::paintButton (juce::Graphics& g, bool, bool)
{
    auto colour = findColour (juce::TextButton::buttonColourId, false);
    if (! getToggleState())
        colour = colour.withAlpha (offAlpha);
    const auto diameter = (float) getHeight();
    g.setColour (colour);
    g.fillEllipse (0.0f, 0.0f, diameter, diameter);
}
