#include "ui/DesktopWindow.h"
#include "ui/MainComponent.h"

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
    // The application decides: it may stay open to keep an edit that could not be written.
    if (auto* app = juce::JUCEApplicationBase::getInstance())
        app->systemRequestedQuit();
    else
        juce::JUCEApplicationBase::quit();
}

void DesktopWindow::setNativeTitle (const juce::String& title)
{
    if (auto* peer = getPeer())
        peer->setTitle (title);
}

void DesktopWindow::focusGained (FocusChangeType)
{
    // An activated window takes the focus itself; the keys belong to its content (the view,
    // then the undo keys), so pass it on.
    if (auto* main = dynamic_cast<MainComponent*> (getContentComponent()))
        main->focusContent();
    else if (auto* content = getContentComponent(); content != nullptr && content->getWantsKeyboardFocus())
        content->grabKeyboardFocus();
}
