#include "ui/DesktopWindow.h"

DesktopWindow::DesktopWindow (juce::Component* contentOwned)
    : juce::DocumentWindow (contentOwned->getName(),
                            juce::Desktop::getInstance().getDefaultLookAndFeel().findColour (
                                juce::ResizableWindow::backgroundColourId),
                            juce::DocumentWindow::allButtons, true)
{
    setTitleBarHeight (0);
    setContentOwned (contentOwned, true);
    setResizable (true, false);
    setSize (getWidth(), getHeight() - getTitleBarHeight());
    setCentreRelative (0.5f, 0.5f);
    setVisible (true);
}

void DesktopWindow::closeButtonPressed()
{
    juce::JUCEApplicationBase::quit();
}

void DesktopWindow::setNativeTitle (const juce::String& title)
{
    if (auto* peer = getPeer())
        peer->setTitle (title);
}
