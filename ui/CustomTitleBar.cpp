#include "ui/CustomTitleBar.h"

#include "BinaryData.h"

namespace
{
constexpr int buttonSlotWidth = 24;
constexpr int buttonInset = 6;
constexpr int titleInset = 150;
}

CustomTitleBar::CustomTitleBar()
    : logo (juce::ImageFileFormat::loadFrom (BinaryData::VantrelLogoRounded_png,
                                             (size_t) BinaryData::VantrelLogoRounded_pngSize)),
      minimiseButton (BinaryData::Minimize_svg, (size_t) BinaryData::Minimize_svgSize),
      fullScreenButton (BinaryData::Maximize_svg, (size_t) BinaryData::Maximize_svgSize),
      closeButton (BinaryData::Close_svg, (size_t) BinaryData::Close_svgSize),
      settingsButton (BinaryData::cogsolid_svg, (size_t) BinaryData::cogsolid_svgSize)
{
    // The buttons act on clicks only: the keyboard focus belongs to the window's content,
    // where the undo keys and the view's own keys are handled.
    for (auto* b : { &minimiseButton, &fullScreenButton, &closeButton, &settingsButton })
        b->setWantsKeyboardFocus (false);

    addAndMakeVisible (minimiseButton);
    addAndMakeVisible (fullScreenButton);
    addAndMakeVisible (closeButton);
    addChildComponent (settingsButton);

    // The window can be restored or leave full screen by other means (task bar, window
    // manager), so the buttons read the window's state when clicked instead of trusting a
    // toggle of their own.
    minimiseButton.onClick = [this] { minimise(); };
    fullScreenButton.onClick = [this] { toggleFullScreen(); };
    closeButton.onClick = [this]
    {
        if (onClose)
            onClose();
    };
    settingsButton.onClick = [this]
    {
        if (onSettings)
            onSettings();
    };

    settingsButton.setColour (SvgButton::iconColourId, juce::Colours::white.withBrightness (0.5f));
}

void CustomTitleBar::minimise()
{
    if (auto* window = findParentComponentOfClass<juce::DocumentWindow>())
        window->setMinimised (true);
}

void CustomTitleBar::toggleFullScreen()
{
    if (auto* window = findParentComponentOfClass<juce::ResizableWindow>())
        window->setFullScreen (! window->isFullScreen());
    showFullScreenState();
}

void CustomTitleBar::showFullScreenState()
{
    const auto* window = findParentComponentOfClass<juce::ResizableWindow>();
    fullScreenButton.setToggleState (window != nullptr && window->isFullScreen(), juce::dontSendNotification);
}

void CustomTitleBar::paint (juce::Graphics& g)
{
    settingsButton.setVisible (onSettings != nullptr);

    g.fillAll (findColour (juce::ResizableWindow::backgroundColourId));

    const auto w = getWidth(), h = getHeight();
    if (logo.isValid())
    {
        const juce::Rectangle<float> logoArea (6.0f, 6.0f, (float) juce::jmax (juce::jmin (w, h) - 12, 0),
                                               (float) juce::jmax (h - 12, 0));
        g.drawImage (logo, logoArea, juce::RectanglePlacement::centred);
    }

    g.setColour (juce::Colours::white);
    g.setFont (16.0f);
    g.drawText (getName(), getLocalBounds().reduced (titleInset, 0), juce::Justification::centred, true);
}

void CustomTitleBar::resized()
{
    auto area = getLocalBounds();
    for (auto* b : { &closeButton, &fullScreenButton, &minimiseButton })
        b->setBounds (area.removeFromRight (buttonSlotWidth).reduced (buttonInset));

    settingsButton.setSize (12, 12);
    settingsButton.setCentrePosition (36, getHeight() / 2);

    showFullScreenState();
}

void CustomTitleBar::mouseDown (const juce::MouseEvent& e)
{
    dragger.startDraggingComponent (getTopLevelComponent(), e);
}

void CustomTitleBar::mouseDrag (const juce::MouseEvent& e)
{
    dragger.dragComponent (getTopLevelComponent(), e, nullptr);
}
