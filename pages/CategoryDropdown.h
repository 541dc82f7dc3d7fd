#pragma once

#include "model/Category.h"
#include "pages/CategoryButton.h"
#include "pages/CategorySelectionComponent.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <memory>
#include <vector>

class CategoryManager;

/** A cue's category as a colour dot; a click opens a menu of every category, and choosing
    one opens the undo step "Set Cue Category" and hands the category to the owner. */
class CategoryDropdown : public juce::Component, public Category::Listener
{
public:
    CategoryDropdown (std::shared_ptr<Category> category, CategoryManager* categories);
    ~CategoryDropdown() override;

    /** Receives the chosen category; the owner stores it in the cue. */
    std::function<void (std::shared_ptr<Category>)> onChange;

    /** Opens the menu of categories without blocking. */
    void showPopup();
    /** The menu's result: the item id of the chosen entry, 0 or less when it was dismissed. */
    void categoryChosen (int itemId);

    /** True while the menu of this drop-down is on screen. */
    bool isPopupOpen() const;

    std::shared_ptr<Category> getCategory() const { return category; }
    CategoryButton& getButton() { return button; }
    const juce::OwnedArray<CategorySelectionComponent>& getMenuEntries() const { return menuEntries; }

    void resized() override;

    static constexpr int entryWidth = 200, entryHeight = 33;

private:
    std::shared_ptr<Category> category;
    CategoryButton button;
    juce::OwnedArray<CategorySelectionComponent> menuEntries;
    CategoryManager* categoryManager;
    /** The categories of the menu opened last, by item id − 1. */
    std::vector<std::shared_ptr<Category>> menuCategories;

    void closePopup();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CategoryDropdown)
};
