#include "pages/CategoryDropdown.h"

#include "document/AppData.h"
#include "model/CategoryManager.h"

CategoryDropdown::CategoryDropdown (std::shared_ptr<Category> initial, CategoryManager* categories)
    : category (std::move (initial)), categoryManager (categories)
{
    button.setCategory (category);
    button.setClickingTogglesState (false);
    button.setToggleState (true, juce::dontSendNotification);
    addAndMakeVisible (button);
    button.onClick = [this] { showPopup(); };
    if (category != nullptr)
        category->addListener (this);
}

CategoryDropdown::~CategoryDropdown()
{
    // The open menu shows the entries this drop-down owns.
    closePopup();
    if (category != nullptr)
        category->removeListener (this);
}

bool CategoryDropdown::isPopupOpen() const
{
    for (auto* entry : menuEntries)
        if (entry->isShowing())
            return true;
    return false;
}

void CategoryDropdown::closePopup()
{
    if (isPopupOpen())
        juce::PopupMenu::dismissAllActiveMenus();
}

void CategoryDropdown::showPopup()
{
    if (categoryManager == nullptr)
        return;

    auto categories = categoryManager->getCategories();
    closePopup();
    menuEntries.clear();

    juce::PopupMenu menu;
    int id = 1;
    for (const auto& c : categories)
    {
        auto* entry = menuEntries.add (new CategorySelectionComponent (c == category));
        entry->setCategory (c);
        menu.addCustomItem (id++, *entry, entryWidth, entryHeight, true, nullptr, c->getName());
    }

    // The drop-down's row may be gone when the menu closes: then the result is dropped.
    juce::Component::SafePointer<CategoryDropdown> self (this);
    menuCategories = categories;
    menu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (this),
                        [self, categories] (int result)
                        {
                            if (self == nullptr)
                                return;
                            self->menuCategories = categories;
                            self->categoryChosen (result);
                        });
}

void CategoryDropdown::categoryChosen (int itemId)
{
    if (itemId <= 0 || itemId > (int) menuCategories.size())
        return;

    AppData::getUndoManager()->beginNewTransaction ("Set Cue Category");
    auto chosen = menuCategories[(size_t) itemId - 1];

    if (category != nullptr)
        category->removeListener (this);
    category = chosen;
    if (category != nullptr)
        category->addListener (this);
    button.setCategory (category);

    if (onChange)
        onChange (chosen);
}

void CategoryDropdown::resized()
{
    button.setBounds (getLocalBounds());
}
