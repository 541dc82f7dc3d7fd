#include "ui/kit/DialogComponent.h"

namespace
{
constexpr int dialogWidth = 800;
constexpr int dialogHeight = 450;
constexpr int margin = 25;
constexpr int titleHeight = 100;
constexpr int buttonRowHeight = 90;
}

DialogComponent::DialogComponent (const juce::String& title, const juce::String& message,
                                  const juce::StringArray& buttonTexts)
{
    setLookAndFeel (&lookAndFeel);
    messageComponent.setText (message);

    titleLabel.setText (title, juce::dontSendNotification);
    titleLabel.setFont (juce::Font (juce::String(), "Bold Italic", 1.0f).withPointHeight (36.0f));
    addAndMakeVisible (titleLabel);

    viewport.setViewedComponent (&messageComponent, false);
    addAndMakeVisible (viewport);

    for (int i = 0; i < buttonTexts.size(); ++i)
    {
        auto* button = buttons.add (new juce::TextButton (buttonTexts[i]));
        // Every button but the rightmost draws a separator towards its right-hand neighbour.
        if (buttonTexts.indexOf (buttonTexts[i]) > 0)
            button->setConnectedEdges (juce::Button::ConnectedOnRight);
        button->addListener (this);
        addAndMakeVisible (button);
    }

    titleLabel.setColour (juce::Label::textColourId, lookAndFeel.findColour (juce::TextEditor::outlineColourId));
    viewport.getVerticalScrollBar().setColour (juce::ScrollBar::thumbColourId,
                                               lookAndFeel.findColour (juce::ResizableWindow::backgroundColourId));

    setSize (dialogWidth, dialogHeight);
    addToDesktop (juce::ComponentPeer::windowAppearsOnTaskbar | juce::ComponentPeer::windowIsTemporary
                  | juce::ComponentPeer::windowHasDropShadow);
    const auto area = getParentMonitorArea();
    setTopLeftPosition (juce::roundToInt (area.getX() + (area.getWidth() - getWidth()) * 0.5),
                        juce::roundToInt (area.getY() + (area.getHeight() - getHeight()) * 0.5));
    setVisible (true);
    toFront (true);
}

DialogComponent::~DialogComponent()
{
    closing = true;
    setLookAndFeel (nullptr);
}

void DialogComponent::paint (juce::Graphics& g)
{
    auto& desktopDefault = juce::Desktop::getInstance().getDefaultLookAndFeel();
    g.fillAll (desktopDefault.isColourSpecified (backgroundColourId)
                   ? desktopDefault.findColour (backgroundColourId)
                   : lookAndFeel.findColour (juce::ResizableWindow::backgroundColourId));

    // The top of the button row: one crisp pixel row.
    g.setColour (lookAndFeel.findColour (juce::ResizableWindow::backgroundColourId));
    g.fillRect (0, getHeight() - buttonRowHeight, getWidth(), 1);
}

void DialogComponent::resized()
{
    const auto w = getWidth();
    const auto h = getHeight();

    titleLabel.setBounds (margin, 0, juce::jmax (w - 2 * margin, 0), juce::jmin (juce::jmax (h, 0), titleHeight));
    const auto t = titleLabel.getHeight();

    const auto rowHeight = juce::jmin (h - t, buttonRowHeight);
    const auto buttonHeight = juce::jmax (rowHeight - 40, 0);
    const auto middle = h - t - rowHeight;
    const auto buttonY = t + middle + 20;

    // Buttons go right to left in list order, side by side.
    auto available = juce::jmax (w - 2 * margin, 0);
    for (auto* button : buttons)
    {
        const auto width = juce::jmin (lookAndFeel.getTextButtonWidthToFitText (*button, buttonHeight), available);
        available -= width;
        button->setBounds (margin + available, buttonY, width, buttonHeight);
    }

    viewport.setBounds (30, t, juce::jmax (w - 55, 0), middle - juce::jmin (middle, 30));
    messageComponent.setWidth (juce::jmax (0, viewport.getWidth() - viewport.getScrollBarThickness()));
}

void DialogComponent::lookAndFeelChanged()
{
    // A dialog put up before the application's fonts were installed (a load error at start-up)
    // measured its text in other fonts: measure again. Not while closing: measuring text
    // could bring the font cache back during the framework's shutdown.
    if (! closing)
        resized();
}

void DialogComponent::buttonClicked (juce::Button* button)
{
    buttonPressed (buttons.indexOf (dynamic_cast<juce::TextButton*> (button)));
}

void DialogComponent::buttonPressed (int index)
{
    pressedIndex = index;
    exitModalState (index);
}
