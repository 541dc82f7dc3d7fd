#pragma once

#include "model/CategoryManager.h"
#include "pages/CategoryComponent.h"
#include "ui/kit/ColorPickerMenu.h"
#include "ui/kit/LineComponent.h"
#include "ui/kit/ResizableViewportChild.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

/** The rows of the categories page, one per category in list order: reordered by dragging a
    row's handle, recoloured through one colour picker pop-up that the organizer keeps. */
class CategoryOrganizer : public ResizableViewportChild,
                          public CategoryManager::Listener,
                          public juce::DragAndDropTarget,
                          public juce::DragAndDropContainer
{
public:
    explicit CategoryOrganizer (std::shared_ptr<CategoryManager> categoryManager);
    ~CategoryOrganizer() override;

    static constexpr int rowHeight = 33;

    /** Makes the rows match the categories; existing rows are re-targeted, not rebuilt. */
    void rebuild();

    /** Opens the colour picker at the dot of row `index` for that category. */
    void showColourPicker (int index, juce::Rectangle<int> dotScreenBounds,
                           const std::vector<std::shared_ptr<Category>>& categories);
    /** Writes the picker's colour into the category, in the transaction opened with the picker. */
    void applyPickedColour (Category& category);

    bool isInterestedInDragSource (const SourceDetails&) override { return true; }
    void itemDragMove (const SourceDetails& details) override;
    void itemDropped (const SourceDetails& details) override;
    void dragOperationEnded (const SourceDetails& details) override;

    void categoriesChanged() override { rebuild(); }
    void resized() override;

    const juce::OwnedArray<CategoryComponent>& getRows() const { return rows; }
    ColorPickerMenu& getColourPicker() { return colourPicker; }

private:
    std::shared_ptr<CategoryManager> categoryManager;
    juce::OwnedArray<CategoryComponent> rows;
    juce::OwnedArray<LineComponent> separators;
    ColorPickerMenu colourPicker;
    /** The row and the category the picker was last opened for. */
    juce::Component::SafePointer<CategoryComponent> pickerRow;
    std::weak_ptr<Category> pickerCategory;

    void restoreRow (CategoryComponent& row);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CategoryOrganizer)
};
