#pragma once

#include "model/Category.h"
#include "pages/CategoryButton.h"
#include "ui/kit/SvgButton.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <memory>

class CategoryManager;

/** One row of the categories page: a drag handle, the colour dot that opens the colour
    picker, the name (edited after a double click) and, while no cue uses the category, a
    remove button. */
class CategoryComponent : public juce::Component, public Category::Listener
{
public:
    explicit CategoryComponent (std::shared_ptr<CategoryManager> categoryManager);
    ~CategoryComponent() override;

    /** Receives the colour dot's screen bounds when the dot is clicked. */
    std::function<void (juce::Rectangle<int>)> onColourClicked;

    /** Shows another category (rows are reused). */
    void setCategory (std::shared_ptr<Category> newCategory);
    std::shared_ptr<Category> getCategory() const { return category; }

    /** Starts dragging the row; a drag already running from it goes on. */
    void startRowDrag (const juce::MouseEvent& e);

    void categoryNameChanged() override;
    void resized() override;

    SvgButton& getHandle() { return handle; }
    CategoryButton& getDot() { return dot; }
    juce::Label& getNameLabel() { return nameLabel; }
    /** None while a cue uses the category. */
    SvgButton* getRemoveButton() const { return removeButton.get(); }

private:
    std::shared_ptr<Category> category;
    SvgButton handle;
    CategoryButton dot;
    juce::Label nameLabel;
    std::unique_ptr<SvgButton> removeButton;
    std::weak_ptr<CategoryManager> categoryManager;

    void updateRemoveButton();
    void removeClicked();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CategoryComponent)
};
