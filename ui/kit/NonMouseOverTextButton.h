#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A text button that looks the same whether the mouse is over it or pressing it; only its
    toggle state changes its colour. */
class NonMouseOverTextButton : public juce::TextButton
{
public:
    using juce::TextButton::TextButton;

protected:
    void paintButton (juce::Graphics& g, bool highlighted, bool down) override;
};
