#include "ui/kit/FpsComboBox.h"

FpsComboBox::FpsComboBox()
{
    addItem ("24 FPS", 1);
    addItem ("25 FPS", 2);
    addItem ("30 FPS", 3);
    setJustificationType (juce::Justification::centred);
}

void FpsComboBox::setFps (int fps)
{
    setText (juce::String (fps) + " FPS", juce::dontSendNotification);
}

int FpsComboBox::getFps() const
{
    const auto text = getText().trimStart();
    const auto digits = text.initialSectionContainingOnly ("0123456789");
    return digits.isEmpty() ? 0 : digits.getIntValue();
}
