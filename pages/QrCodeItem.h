#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The one item of a server row's QR pop-up: the code's image, centred, 400 x 400. The pop-up
    holds it by reference count, so it stays on screen even when the row that opened it is
    rebuilt meanwhile. Clicking it does not close the pop-up. */
class QrCodeItem : public juce::PopupMenu::CustomComponent
{
public:
    explicit QrCodeItem (const juce::Image& image);

    void getIdealSize (int& idealWidth, int& idealHeight) override;
    void resized() override;

    juce::ImageComponent& getImageComponent() { return imageComponent; }

    static constexpr int side = 400;

private:
    juce::ImageComponent imageComponent;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QrCodeItem)
};
