#pragma once

#include "model/Category.h"
#include "pages/CategoryButton.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

/** One entry of the category drop-down's menu: the category's dot and name on a background
    tinted with its colour; the current category is brighter and marked by a bar on the left. */
class CategorySelectionComponent : public juce::Component, public Category::Listener
{
public:
    explicit CategorySelectionComponent (bool selected);
    ~CategorySelectionComponent() override;

    void setCategory (std::shared_ptr<Category> newCategory);
    std::shared_ptr<Category> getCategory() const { return category; }

    void updateColours (bool hovered);

    bool isSelected() const { return selected; }
    bool isHovered() const { return hovered; }
    juce::Label& getNameLabel() { return nameLabel; }
    CategoryButton& getDot() { return dot; }

    void categoryNameChanged() override;
    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;
    void resized() override;

    static constexpr juce::uint32 unselectedTextArgb = 0xff9f9f9f;

private:
    std::shared_ptr<Category> category;
    juce::Label nameLabel;
    CategoryButton dot;
    bool hovered = false;
    const bool selected;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CategorySelectionComponent)
};
