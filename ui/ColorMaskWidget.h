#pragma once

#include "model/CategoryManager.h"
#include "model/ColorMask.h"
#include "ui/ColorMaskButton.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

/** The "Show:" filter of the show screen: a narrow header ("All" or "Mixed") that opens, on a
    click, into one button per category in use. Each button shows or hides the cues of its
    category's colour through the document's colour mask, one undo step per click. */
class ColorMaskWidget : public juce::Component,
                        public CategoryManager::Listener,
                        private ColorMask::Listener
{
public:
    static constexpr int rowHeight = 40;
    static constexpr int headerHeight = 10;

    ColorMaskWidget (std::shared_ptr<CategoryManager> categoryManager, std::shared_ptr<ColorMask> colorMask);
    ~ColorMaskWidget() override;

    /** Rebuilds the buttons from the categories in use. */
    void categoriesChanged() override;

    /** Open exactly when the widget is taller than its header: the owner's layout may have
        closed it without telling. */
    bool isExpanded() const { return getHeight() > headerHeight; }
    bool isAllShown() const { return allShown; }
    int getNumButtons() const { return buttons.size(); }
    ColorMaskButton* getButton (int index) const { return buttons[index]; }

    void mouseDown (const juce::MouseEvent& event) override;
    void paint (juce::Graphics& g) override;

private:
    void colorMaskChanged() override;
    void buttonClicked();
    void updateAllShown();
    int expandedHeight() const { return headerHeight + rowHeight * buttons.size() + 10; }

    juce::OwnedArray<ColorMaskButton> buttons;
    std::shared_ptr<CategoryManager> categoryManager;
    std::shared_ptr<ColorMask> colorMask;
    juce::Path arrow;
    bool allShown = true;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ColorMaskWidget)
};
