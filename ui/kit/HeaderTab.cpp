#include "ui/kit/HeaderTab.h"

HeaderTab::HeaderTab()
{
    addChildComponent (actionDropdown);

    icon.setFill (juce::Colours::white);
    addAndMakeVisible (icon);

    titleLabel.setFont (juce::Font (16.0f, juce::Font::italic));
    addAndMakeVisible (titleLabel);

    addChildComponent (addButton);
    addButton.onClick = [this]
    {
        if (onAdd)
            onAdd();
    };
}

HeaderTab::~HeaderTab() = default;

void HeaderTab::setName (const juce::String& title)
{
    titleLabel.setText (title, juce::dontSendNotification);
}

void HeaderTab::setIcon (const void* svgData, size_t numBytes)
{
    if (auto drawable = juce::Drawable::createFromImageData (svgData, numBytes))
        icon.setPath (drawable->getOutlineAsPath());
}

void HeaderTab::setContent (juce::Component* newContent)
{
    content.reset (newContent);
    if (content != nullptr)
        addAndMakeVisible (*content);
    resized();
}

void HeaderTab::paint (juce::Graphics& g)
{
    g.setColour (findColour (juce::ResizableWindow::backgroundColourId));
    g.fillRoundedRectangle (getLocalBounds().toFloat(), 5.0f);
}

void HeaderTab::resized()
{
    const auto w = getWidth(), h = getHeight();
    const auto hh = juce::jmin (h, headerHeight);
    const auto s = juce::jmin (w, headerHeight);
    auto r = w - s;

    if (s - 18 > 0 && hh - 18 > 0)
        icon.setTransformToFit ({ 9.0f, 9.0f, (float) (s - 18), (float) (hh - 18) }, juce::RectanglePlacement::centred);

    addButton.setVisible (onAdd != nullptr);
    if (addButton.isVisible())
    {
        const auto a = juce::jmin (r, 68);
        r -= a;
        addButton.setBounds (w - a + 4, 4, juce::jmax (a - 8, 0), juce::jmax (hh - 8, 0));
    }

    actionDropdown.setVisible (actionDropdown.hasItems());
    if (actionDropdown.isVisible())
    {
        const auto a = juce::jmin (r, 78);
        actionDropdown.setBounds (s + r - a + 4, 4, juce::jmax (a - 8, 0), juce::jmax (hh - 8, 0));
        r -= a;
    }

    titleLabel.setBounds (s, 0, r, hh);

    if (content != nullptr)
        content->setBounds (6, hh + 6, juce::jmax (w - 12, 0), juce::jmax (h - hh - 12, 0));
}
