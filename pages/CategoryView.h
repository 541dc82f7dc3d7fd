#pragma once

#include "ui/kit/HeaderTab.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class CategoryManager;
class CategoryOrganizer;

/** The categories page: one "Categories" panel, 300 px wide, with a row per category and an
    add button that makes a category of a colour no other has. */
class CategoryView : public juce::Component
{
public:
    explicit CategoryView (std::shared_ptr<CategoryManager> categoryManager);

    void resized() override;

    HeaderTab& getPanel() { return panel; }
    CategoryOrganizer& getOrganizer() { return *organizer; }

    static constexpr int panelWidth = 300;

private:
    HeaderTab panel;
    CategoryOrganizer* organizer = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CategoryView)
};
