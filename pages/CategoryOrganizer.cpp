#include "pages/CategoryOrganizer.h"

#include "document/AppData.h"
#include "document/Identifiers.h"
#include <algorithm>

CategoryOrganizer::CategoryOrganizer (std::shared_ptr<CategoryManager> manager)
    : categoryManager (std::move (manager))
{
    rebuild();
    categoryManager->addListener (this);
}

CategoryOrganizer::~CategoryOrganizer()
{
    categoryManager->removeListener (this);
    colourPicker.close();
    // Rows go before the drag-and-drop bases: a drag still running then ends without
    // calling back into this half-destroyed organizer.
    rows.clear();
}

void CategoryOrganizer::rebuild()
{
    const auto categories = categoryManager->getCategories();
    const auto count = (int) categories.size();

    // The picker points at a row and edits a category: close it before either goes.
    if (colourPicker.isOpen())
    {
        const auto rowGoes = pickerRow == nullptr || rows.indexOf (pickerRow.getComponent()) >= count;
        const auto categoryGone = std::find (categories.begin(), categories.end(), pickerCategory.lock()) == categories.end();
        if (rowGoes || categoryGone)
            colourPicker.close();
    }

    while (rows.size() > count)
        rows.removeLast();
    while (rows.size() < count)
        addAndMakeVisible (rows.add (new CategoryComponent (categoryManager)));

    for (int i = 0; i < count; ++i)
    {
        rows[i]->setCategory (categories[(size_t) i]);
        rows[i]->onColourClicked = [this, i, categories] (juce::Rectangle<int> dot)
        { showColourPicker (i, dot, categories); };
    }

    setContentHeight (rowHeight * rows.size());
    resized();
}

void CategoryOrganizer::showColourPicker (int index, juce::Rectangle<int> dotScreenBounds,
                                          const std::vector<std::shared_ptr<Category>>& categories)
{
    if (! juce::isPositiveAndBelow (index, rows.size()) || ! juce::isPositiveAndBelow (index, (int) categories.size()))
        return;

    auto category = categories[(size_t) index];
    pickerRow = rows[index];
    pickerCategory = category;
    colourPicker.showFor (*rows[index], dotScreenBounds);
    AppData::getUndoManager()->beginNewTransaction ("Set Category Color");
    colourPicker.picker.setColour (category->getColor());
    colourPicker.picker.onChange = [this, category] { applyPickedColour (*category); };
}

void CategoryOrganizer::applyPickedColour (Category& category)
{
    // Stored as String::toHexString gives it: lower case, eight digits for an opaque colour.
    category.getState().setProperty (IDs::color, juce::String::toHexString (colourPicker.picker.getColour().getARGB()),
                                     AppData::getUndoManager());
}

void CategoryOrganizer::resized()
{
    const auto w = getWidth(), h = getHeight();
    separators.clear();
    int top = 0;
    for (int i = 0; i < rows.size(); ++i)
    {
        const auto slot = juce::jmin (rowHeight, juce::jmax (0, h - top));
        rows[i]->setBounds (0, top + 5, juce::jmax (0, w), juce::jmax (0, slot - 10));
        top += slot;
        if (i < rows.size() - 1)
        {
            auto* line = separators.add (new LineComponent());
            addAndMakeVisible (line);
            line->setBounds (0, top, w, 1);
        }
    }
}

void CategoryOrganizer::itemDragMove (const SourceDetails& details)
{
    auto* source = dynamic_cast<CategoryComponent*> (details.sourceComponent.get());
    auto* under = getComponentAt (details.localPosition);
    auto* target = dynamic_cast<CategoryComponent*> (under);
    if (target == nullptr && under != nullptr)
        target = under->findParentComponentOfClass<CategoryComponent>();
    if (source == nullptr || target == nullptr)
        return;

    const auto s = rows.indexOf (source), t = rows.indexOf (target);
    if (s < 0 || t < 0 || s == t)
        return;

    rows.move (s, t);
    auto& animator = juce::Desktop::getInstance().getAnimator();
    for (int i = 0; i < rows.size(); ++i)
        animator.animateComponent (rows[i], { 0, rowHeight * i + 5, getWidth(), rowHeight - 10 },
                                   rows[i] == source ? 0.0f : 1.0f, 50, true, 0.0, 0.0);
}

void CategoryOrganizer::restoreRow (CategoryComponent& row)
{
    juce::Desktop::getInstance().getAnimator().cancelAnimation (&row, true);
    row.setVisible (true);
    row.setAlpha (1.0f);
}

void CategoryOrganizer::itemDropped (const SourceDetails& details)
{
    auto* source = dynamic_cast<CategoryComponent*> (details.sourceComponent.get());
    if (source == nullptr)
        return;
    restoreRow (*source);

    const int from = details.description;
    const int to = rows.indexOf (source);
    if (to < 0 || from == to)
        return;

    AppData::getUndoManager()->beginNewTransaction ("Move Category");
    categoryManager->moveCategory (from, juce::jmin (to, categoryManager->getState().getNumChildren() - 1));
}

void CategoryOrganizer::dragOperationEnded (const SourceDetails&)
{
    // Dropped or not: every row is shown again, in list order, its handle released. A drag
    // that ended elsewhere leaves the rows as they were before it.
    for (auto* row : rows)
        restoreRow (*row);
    rebuild();
}
