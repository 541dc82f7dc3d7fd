#pragma once

#include "model/Category.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

/** A category's name above its column of the web-client grid; follows renames. */
class CategoryLabel : public juce::Label, private Category::Listener
{
public:
    explicit CategoryLabel (std::shared_ptr<Category> category);
    ~CategoryLabel() override;

    const std::shared_ptr<Category>& getCategory() const { return category; }

private:
    std::shared_ptr<Category> category;

    void categoryNameChanged() override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CategoryLabel)
};
