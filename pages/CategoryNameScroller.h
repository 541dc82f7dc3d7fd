#pragma once

#include "model/CategoryManager.h"
#include "pages/CategoryLabel.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

/** The names of the categories in use, slanted at 45 degrees, one above each 50 px column of
    the colour-mask strips. */
class CategoryNameScroller : public juce::Component, private CategoryManager::Listener
{
public:
    explicit CategoryNameScroller (std::shared_ptr<CategoryManager> categoryManager);
    ~CategoryNameScroller() override;

    void rebuild();
    void resized() override;

    const juce::OwnedArray<CategoryLabel>& getLabels() const { return labels; }

    static constexpr int labelSpacing = 70;
    static constexpr int scrollerHeight = 141;

private:
    juce::OwnedArray<CategoryLabel> labels;
    std::shared_ptr<CategoryManager> categoryManager;

    void categoriesChanged() override { rebuild(); }

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CategoryNameScroller)
};
