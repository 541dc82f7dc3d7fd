#include "pages/CategorySelectionComponent.h"

CategorySelectionComponent::CategorySelectionComponent (bool isSelectedEntry)
    : selected (isSelectedEntry)
{
    dot.setToggleState (true, juce::dontSendNotification);
    addAndMakeVisible (dot);
    nameLabel.setFont (juce::Font (20.0f));
    addAndMakeVisible (nameLabel);

    // Entering the name or the dot counts as entering the entry.
    addMouseListener (this, true);
}

CategorySelectionComponent::~CategorySelectionComponent()
{
    removeMouseListener (this);
    if (category != nullptr)
        category->removeListener (this);
}

void CategorySelectionComponent::setCategory (std::shared_ptr<Category> newCategory)
{
    if (newCategory == category)
        return;
    if (category != nullptr)
        category->removeListener (this);
    category = std::move (newCategory);
    if (category != nullptr)
        category->addListener (this);

    dot.setCategory (category);
    categoryNameChanged();

    hovered = true;
    updateColours (false);
}

void CategorySelectionComponent::categoryNameChanged()
{
    nameLabel.setText (category != nullptr ? category->getName() : juce::String(), juce::dontSendNotification);
}

void CategorySelectionComponent::updateColours (bool isHovered)
{
    const auto colour = category != nullptr ? category->getColor() : juce::Colour();
    setColour (juce::ResizableWindow::backgroundColourId, colour);

    if (isHovered == hovered)
        return;
    hovered = isHovered;

    auto background = juce::Colour (colour.getHue(), colour.getSaturation(), selected ? 0.25f : 0.05f,
                                    colour.getAlpha() == 0 ? 0.0f : 1.0f);
    juce::Colour text;
    if (hovered)
    {
        background = background.brighter (0.1f);
        text = juce::Colours::white;
    }
    else
    {
        text = selected ? juce::Colours::white : juce::Colour (unselectedTextArgb);
    }

    nameLabel.setColour (juce::Label::textColourId, text);
    setColour (juce::Label::backgroundColourId, background);
    repaint();
}

void CategorySelectionComponent::mouseEnter (const juce::MouseEvent&) { updateColours (true); }
void CategorySelectionComponent::mouseExit (const juce::MouseEvent&) { updateColours (false); }

void CategorySelectionComponent::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth(), h = (float) getHeight();
    g.setColour (findColour (juce::Label::backgroundColourId));
    g.fillRoundedRectangle (2.0f, 2.0f, juce::jmax (0.0f, w - 4.0f), juce::jmax (0.0f, h - 4.0f), 5.0f);

    if (! selected)
        return;

    const auto r = juce::jmin (h / 2.0f, 5.0f);
    juce::Path bar;
    bar.startNewSubPath (0.0f, r);
    bar.cubicTo (0.0f, 0.45f * r, 1.125f, 0.0f, 2.5f, 0.0f);
    bar.lineTo (5.0f, 0.0f);
    bar.lineTo (5.0f, h);
    bar.lineTo (2.5f, h);
    bar.cubicTo (1.125f, h, 0.0f, h - 0.45f * r, 0.0f, h - r);
    bar.closeSubPath();
    g.setColour (findColour (juce::ResizableWindow::backgroundColourId));
    g.fillPath (bar);
}

void CategorySelectionComponent::resized()
{
    const auto a = juce::jmax (0, getWidth());
    const auto m = juce::jmin (a, 10);
    const auto b = juce::jmax (0, getHeight() - 10);
    const auto d = juce::jmin (a - m, b);

    dot.setBounds (m + 2, 7, d < 5 ? 0 : d - 4, juce::jmax (0, b - 4));
    nameLabel.setBounds (m + 2 + d, 5, juce::jmax (0, a - m - d - 4), b);
}
