#include "pages/CategoryDropdown.h"

#include "CategoriesFixture.h"

namespace
{
struct CategoryDropdownTest : test::CategoriesFixture
{
    std::shared_ptr<Cue> cue;

    void SetUp() override
    {
        addLists();
        cue = controller.cueListManager->getCueLists()[1]->getCues().front();
        cue->setCategory (named ("Audio"));
        undo.clearUndoHistory();
    }

    /** A drop-down that stores the chosen category in the cue, as a cue row does. */
    std::unique_ptr<CategoryDropdown> dropdownForCue (std::vector<std::shared_ptr<Category>>& chosen)
    {
        auto dropdown = std::make_unique<CategoryDropdown> (cue->getCategory(), controller.categoryManager.get());
        dropdown->onChange = [this, &chosen] (std::shared_ptr<Category> c)
        {
            chosen.push_back (c);
            cue->setCategory (c);
        };
        dropdown->setSize (19, 19);
        return dropdown;
    }

    static void press (juce::Component& menu, int keyCode, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            menu.keyPressed (juce::KeyPress (keyCode));
    }
};
}

TEST_F (CategoryDropdownTest, ChoosingACategoryForACueIsOneUndoStep)
{
    std::vector<std::shared_ptr<Category>> chosen;
    auto dropdown = dropdownForCue (chosen);
    juce::Component holder;
    test::TestWindow window (holder);
    holder.addAndMakeVisible (*dropdown);
    dropdown->setBounds (20, 20, 19, 19);
    EXPECT_TRUE (dropdown->getButton().getToggleState());
    EXPECT_FALSE (dropdown->getButton().getClickingTogglesState());

    auto mouse = window.mouse();
    mouse.click (dropdown->getButton(), { 9, 9 });
    auto* menu = waitForMenuWindow();
    ASSERT_NE (menu, nullptr);
    ASSERT_TRUE (dropdown->isPopupOpen());
    EXPECT_EQ (dropdown->getMenuEntries().size(), (int) categories.getCategories().size());

    press (*menu, juce::KeyPress::downKey, 3); // ALL, Audio, Light
    press (*menu, juce::KeyPress::returnKey);
    ASSERT_TRUE (test::pumpUntil ([&] { return ! chosen.empty(); }));
    EXPECT_EQ (chosen, std::vector<std::shared_ptr<Category>> { named ("Light") });
    EXPECT_EQ (cue->getCategory(), named ("Light"));
    EXPECT_EQ (dropdown->getCategory(), named ("Light"));
    EXPECT_EQ (dropdown->getButton().findColour (juce::TextButton::buttonColourId).getARGB(), 0xffcfb228u);
    EXPECT_EQ (undo.getUndoDescription(), "Set Cue Category");

    controller.undo();
    EXPECT_EQ (cue->getCategory(), named ("Audio"));
    EXPECT_FALSE (undo.canUndo());

    // The category it already has: still a step, still the owner's callback.
    mouse.click (dropdown->getButton(), { 9, 9 });
    ASSERT_NE ((menu = waitForMenuWindow()), nullptr);
    press (*menu, juce::KeyPress::downKey, 3);
    press (*menu, juce::KeyPress::returnKey);
    ASSERT_TRUE (test::pumpUntil ([&] { return chosen.size() == 2; }));
    EXPECT_EQ (undo.getUndoDescription(), "Set Cue Category");
}

TEST_F (CategoryDropdownTest, EscapeLeavesTheCueAndTheHistoryAlone)
{
    std::vector<std::shared_ptr<Category>> chosen;
    auto dropdown = dropdownForCue (chosen);
    juce::Component holder;
    test::TestWindow window (holder);
    holder.addAndMakeVisible (*dropdown);

    dropdown->showPopup();
    auto* menu = waitForMenuWindow();
    ASSERT_NE (menu, nullptr);
    press (*menu, juce::KeyPress::downKey, 2);
    press (*menu, juce::KeyPress::escapeKey);
    ASSERT_TRUE (test::pumpUntil ([] { return findMenuWindow() == nullptr; }));
    test::pumpFor (50);
    EXPECT_TRUE (chosen.empty());
    EXPECT_EQ (cue->getCategory(), named ("Audio"));
    EXPECT_FALSE (undo.canUndo());
    EXPECT_EQ (undo.getUndoDescription(), juce::String());

    for (int dismissed : { 0, -1, (int) categories.getCategories().size() + 1 })
        dropdown->categoryChosen (dismissed);
    EXPECT_TRUE (chosen.empty());
    EXPECT_FALSE (undo.canUndo());
}

TEST_F (CategoryDropdownTest, EntriesListEveryCategoryAndMarkTheCurrentOne)
{
    std::vector<std::shared_ptr<Category>> chosen;
    auto dropdown = dropdownForCue (chosen);
    juce::Component holder;
    test::TestWindow window (holder);
    holder.addAndMakeVisible (*dropdown);
    dropdown->showPopup();
    ASSERT_NE (waitForMenuWindow(), nullptr);

    auto& entries = dropdown->getMenuEntries();
    const auto list = categories.getCategories();
    ASSERT_EQ (entries.size(), (int) list.size());
    for (int i = 0; i < entries.size(); ++i)
    {
        EXPECT_EQ (entries[i]->getCategory(), list[(size_t) i]);
        EXPECT_EQ (entries[i]->isSelected(), list[(size_t) i] == named ("Audio"));
        EXPECT_EQ (entries[i]->getNameLabel().getText(), list[(size_t) i]->getName());
        EXPECT_EQ (entries[i]->getHeight(), 33);
    }
    auto& audio = *entries[1];
    auto& light = *entries[2];
    light.setSize (200, 33);
    EXPECT_EQ (light.getDot().getBounds(), juce::Rectangle<int> (12, 7, 19, 19));
    EXPECT_EQ (light.getNameLabel().getBounds(), juce::Rectangle<int> (35, 5, 163, 23));

    const auto textOf = [] (CategorySelectionComponent& e) { return e.getNameLabel().findColour (juce::Label::textColourId).getARGB(); };
    const auto backgroundOf = [] (CategorySelectionComponent& e) { return e.findColour (juce::Label::backgroundColourId); };
    EXPECT_EQ (textOf (light), 0xff9f9f9fu);
    EXPECT_EQ (textOf (audio), 0xffffffffu);
    EXPECT_NEAR (backgroundOf (light).getBrightness(), 0.05f, 0.01f);
    EXPECT_NEAR (backgroundOf (audio).getBrightness(), 0.25f, 0.01f);
    // The bar at the selected entry's left edge is drawn in the category's colour.
    const auto snapshot = audio.createComponentSnapshot (audio.getLocalBounds(), true, 1.0f);
    EXPECT_EQ (snapshot.getPixelAt (1, 16).getARGB(), 0xff3fb6dcu);
    EXPECT_EQ (light.createComponentSnapshot (light.getLocalBounds(), true, 1.0f).getPixelAt (1, 16).getAlpha(), 0);

    const auto plain = backgroundOf (light);
    light.updateColours (true);
    EXPECT_EQ (textOf (light), 0xffffffffu);
    EXPECT_EQ (backgroundOf (light).getARGB(), plain.brighter (0.1f).getARGB());
    light.updateColours (false);
    EXPECT_EQ (textOf (light), 0xff9f9f9fu);
    EXPECT_EQ (backgroundOf (light).getARGB(), plain.getARGB());

    named ("Light")->setName ("Lamps");
    EXPECT_EQ (light.getNameLabel().getText(), "Lamps") << "renamed while the menu is open";
    ASSERT_TRUE (closeMenus());
}

TEST_F (CategoryDropdownTest, ARowDeletedWhileItsMenuIsOpenClosesItAndHearsNothing)
{
    std::vector<std::shared_ptr<Category>> chosen;
    auto dropdown = dropdownForCue (chosen);
    juce::Component holder;
    test::TestWindow window (holder);
    holder.addAndMakeVisible (*dropdown);

    dropdown->showPopup();
    auto* menu = waitForMenuWindow();
    ASSERT_NE (menu, nullptr);
    press (*menu, juce::KeyPress::downKey, 3);
    dropdown.reset();
    EXPECT_EQ (findMenuWindow(), nullptr) << "closed before its entries went";
    test::pumpFor (100);
    EXPECT_TRUE (chosen.empty());
    EXPECT_EQ (cue->getCategory(), named ("Audio"));
    EXPECT_FALSE (undo.canUndo());

    // The next opening replaces the entries of the last one.
    dropdown = dropdownForCue (chosen);
    holder.addAndMakeVisible (*dropdown);
    dropdown->showPopup();
    ASSERT_NE (waitForMenuWindow(), nullptr);
    ASSERT_TRUE (closeMenus());
    juce::Component::SafePointer<juce::Component> firstEntry (dropdown->getMenuEntries().getFirst());
    dropdown->showPopup();
    ASSERT_NE ((menu = waitForMenuWindow()), nullptr);
    EXPECT_EQ (firstEntry, nullptr);
    EXPECT_EQ (dropdown->getMenuEntries().size(), (int) categories.getCategories().size());
    press (*menu, juce::KeyPress::downKey);
    press (*menu, juce::KeyPress::returnKey);
    ASSERT_TRUE (test::pumpUntil ([&] { return chosen.size() == 1; }));
    EXPECT_EQ (chosen.front(), named ("ALL"));
}
