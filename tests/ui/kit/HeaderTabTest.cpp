#include "ui/kit/HeaderTab.h"

#include "support/MessageLoop.h"
#include <gtest/gtest.h>

namespace
{
juce::PopupMenu menuWith (std::initializer_list<int> ids)
{
    juce::PopupMenu m;
    for (auto id : ids)
    {
        if (id == 0)
            m.addSeparator();
        else
            m.addItem (id, "Item " + juce::String (id));
    }
    return m;
}

// The framework names its popup menu windows "menu". Matching anything else on the desktop
// would find the tests' own host window, so a wait for the menu to close would never end.
juce::Component* findMenuWindow()
{
    auto& desktop = juce::Desktop::getInstance();
    for (int i = desktop.getNumComponents(); --i >= 0;)
        if (auto* c = desktop.getComponent (i); c != nullptr && c->getName() == "menu")
            return c;
    return nullptr;
}

void openMenu (ActionDropdown& dropdown)
{
    auto source = juce::Desktop::getInstance().getMainMouseSource();
    const juce::MouseEvent e (source, { 5.0f, 5.0f }, {}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, &dropdown, &dropdown,
                              juce::Time::getCurrentTime(), { 5.0f, 5.0f }, juce::Time::getCurrentTime(), 1, false);
    dropdown.mouseUp (e);
}
}

TEST (HeaderTab, LaysOutIconTitleButtonsAndContent)
{
    HeaderTab tab;
    tab.onAdd = [] {};
    tab.actionDropdown.setMenu (menuWith ({ 1, 2 }));
    auto* content = new juce::Component();
    tab.setContent (content);
    tab.setBounds (0, 0, 400, 200);
    tab.resized();

    EXPECT_EQ (tab.addButton.getBounds(), juce::Rectangle<int> (336, 4, 60, 28));
    EXPECT_EQ (tab.actionDropdown.getBounds(), juce::Rectangle<int> (258, 4, 70, 28));
    EXPECT_EQ (content->getBounds(), juce::Rectangle<int> (6, 42, 388, 152));
    EXPECT_TRUE (tab.addButton.isVisible());
    EXPECT_TRUE (tab.actionDropdown.isVisible());
}

TEST (HeaderTab, ButtonsShowOnlyWhenTheyHaveSomethingToDo)
{
    HeaderTab tab;
    tab.actionDropdown.setMenu (menuWith ({ 0, 0 }));
    tab.setBounds (0, 0, 300, 100);
    EXPECT_FALSE (tab.actionDropdown.isVisible());
    EXPECT_FALSE (tab.addButton.isVisible());

    int added = 0;
    tab.onAdd = [&added] { ++added; };
    EXPECT_FALSE (tab.addButton.isVisible());
    tab.resized();
    ASSERT_TRUE (tab.addButton.isVisible());
    tab.addButton.triggerClick();
    EXPECT_TRUE (test::pumpUntil ([&] { return added == 1; }));
}

TEST (HeaderTab, NarrowerThanTheHeaderLeavesNoRoomForTheTitle)
{
    HeaderTab tab;
    tab.setName ("Cue lists");
    tab.setBounds (0, 0, 20, 100);
    const auto* title = dynamic_cast<juce::Label*> (tab.getChildComponent (2));
    ASSERT_NE (title, nullptr);
    EXPECT_EQ (title->getBounds(), juce::Rectangle<int> (20, 0, 0, 36));
    EXPECT_EQ (tab.getTitleText(), "Cue lists");
    EXPECT_EQ (tab.getName(), "");
}

TEST (HeaderTab, NewContentReplacesAndDeletesTheOld)
{
    HeaderTab tab;
    juce::Component::SafePointer<juce::Component> first (new juce::Component());
    tab.setContent (first.getComponent());
    tab.setContent (new juce::Component());
    EXPECT_EQ (first.getComponent(), nullptr);
    EXPECT_TRUE (tab.getContent()->isVisible());
}

TEST (ActionDropdown, HasItemsOnlyWithARealItem)
{
    ActionDropdown dropdown;
    EXPECT_FALSE (dropdown.hasItems());
    dropdown.setMenu (menuWith ({ 0 }));
    EXPECT_FALSE (dropdown.hasItems());
    dropdown.setMenu (menuWith ({ 0, 4 }));
    EXPECT_TRUE (dropdown.hasItems());
    EXPECT_EQ (dropdown.getName(), "Action");
}

TEST (ActionDropdown, TheChosenItemGoesToTheCallbackOfTheOpening)
{
    juce::Component window;
    window.setBounds (100, 100, 300, 200);
    window.addToDesktop (0);
    window.setVisible (true);
    ActionDropdown dropdown;
    window.addAndMakeVisible (dropdown);
    dropdown.setBounds (10, 10, 78, 28);
    dropdown.setMenu (menuWith ({ 7, 8 }));

    std::vector<int> chosen;
    dropdown.onItemChosen = [&chosen] (int id) { chosen.push_back (id); };
    openMenu (dropdown);
    dropdown.onItemChosen = [] (int) { FAIL() << "the callback set after opening was used"; };

    juce::Component* menu = nullptr;
    ASSERT_TRUE (test::pumpUntil ([&] { return (menu = findMenuWindow()) != nullptr; }));
    menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
    menu->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    ASSERT_TRUE (test::pumpUntil ([&] { return ! chosen.empty(); }));
    EXPECT_EQ (chosen, std::vector<int> { 7 });

    dropdown.onItemChosen = [&chosen] (int id) { chosen.push_back (id); };
    openMenu (dropdown);
    ASSERT_TRUE (test::pumpUntil ([&] { return findMenuWindow() != nullptr; }));
    juce::PopupMenu::dismissAllActiveMenus();
    ASSERT_TRUE (test::pumpUntil ([&] { return chosen.size() == 2; }));
    EXPECT_EQ (chosen.back(), 0);
}

TEST (ActionDropdown, AnOwnerDeletedWhileTheMenuIsOpenIsNotCalled)
{
    juce::Component window;
    window.setBounds (100, 100, 300, 200);
    window.addToDesktop (0);
    window.setVisible (true);

    // The owner's callback touches the owner, as real pages do.
    struct Owner
    {
        HeaderTab tab;
        std::vector<int> chosen;
    };
    auto owner = std::make_unique<Owner>();
    bool called = false;
    owner->tab.actionDropdown.onItemChosen = [o = owner.get(), &called] (int id)
    {
        called = true;
        o->chosen.push_back (id);
    };
    owner->tab.actionDropdown.setMenu (menuWith ({ 1 }));
    window.addAndMakeVisible (owner->tab);
    owner->tab.setBounds (0, 0, 300, 100);

    openMenu (owner->tab.actionDropdown);
    ASSERT_TRUE (test::pumpUntil ([&] { return findMenuWindow() != nullptr; }));
    owner.reset();
    juce::PopupMenu::dismissAllActiveMenus();
    ASSERT_TRUE (test::pumpUntil ([] { return findMenuWindow() == nullptr; }));
    test::pumpFor (100);
    EXPECT_FALSE (called);
}
