#pragma once

#include "model/Category.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

/** A category's colour dot: a circle as high as the button, in full colour while toggled on
    and faint while toggled off. Follows the category's colour changes. */
class CategoryButton : public juce::Button, public Category::Listener
{
public:
    CategoryButton();
    ~CategoryButton() override;

    void setCategory (std::shared_ptr<Category> newCategory);
    std::shared_ptr<Category> getCategory() const { return category; }

    void categoryColorChanged() override;

    /** The alpha of the dot while the button is toggled off. */
    static constexpr juce::uint8 offAlpha = 26;

protected:
    void paintButton (juce::Graphics& g, bool highlighted, bool down) override;

private:
    std::shared_ptr<Category> category;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CategoryButton)
};
