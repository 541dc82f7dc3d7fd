#include "pages/CategoryView.h"

#include "CategoriesFixture.h"
#include "pages/CategoryOrganizer.h"

namespace
{
using CategoryViewTest = test::CategoriesFixture;

void typeInto (juce::Label& label, const juce::String& text)
{
    label.showEditor();
    auto* editor = label.getCurrentTextEditor();
    ASSERT_NE (editor, nullptr);
    editor->setText (text, false);
    label.hideEditor (false);
}

/** A click on the row's dot, as the dot delivers it. The pop-up opens at once; the test
    touches it before the message loop runs again, so nothing from other windows on the
    display comes between. */
void openPicker (CategoryComponent& row)
{
    row.getDot().onClick();
    ASSERT_NE (test::CategoriesFixture::findMenuWindow(), nullptr);
}

juce::Colour centreOf (juce::Component& c)
{
    return c.createComponentSnapshot (c.getLocalBounds(), true, 1.0f).getPixelAt (c.getWidth() / 2, c.getHeight() / 2);
}
}

TEST_F (CategoryViewTest, OneReusedRowPerCategoryInAPanel300Wide)
{
    CategoryView view (controller.categoryManager);
    view.setSize (1100, 600);
    EXPECT_EQ (view.getPanel().getBounds(), juce::Rectangle<int> (0, 0, 300, 600));
    EXPECT_EQ (view.getPanel().getTitleText(), "Categories");
    EXPECT_TRUE (view.getPanel().addButton.isVisible());

    auto& organizer = view.getOrganizer();
    auto& rows = organizer.getRows();
    ASSERT_EQ (rows.size(), 8);
    EXPECT_EQ (organizer.getContentHeight(), 264);
    const auto categoryList = categories.getCategories();
    for (int i = 0; i < rows.size(); ++i)
    {
        EXPECT_EQ (rows[i]->getCategory(), categoryList[(size_t) i]);
        EXPECT_EQ (rows[i]->getBounds(), juce::Rectangle<int> (0, 33 * i + 5, organizer.getWidth(), 23));
    }

    auto& row = *rows[0];
    const auto w = row.getWidth();
    EXPECT_EQ (row.getHandle().getBounds(), juce::Rectangle<int> (6, 0, 10, 23));
    EXPECT_EQ (row.getDot().getBounds(), juce::Rectangle<int> (24, 2, 19, 19));
    EXPECT_EQ (row.getNameLabel().getBounds(), juce::Rectangle<int> (47, 0, w - 71, 23));
    ASSERT_NE (row.getRemoveButton(), nullptr);
    EXPECT_EQ (row.getRemoveButton()->getBounds(), juce::Rectangle<int> (w - 16, 6, 10, 11));
    EXPECT_EQ (row.getNameLabel().getText(), "ALL");

    std::vector<CategoryComponent*> before (rows.begin(), rows.end());
    view.getPanel().addButton.triggerClick();
    ASSERT_TRUE (test::pumpUntil ([&] { return rows.size() == 9; }));
    EXPECT_EQ (organizer.getContentHeight(), 297);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ (rows[(int) i], before[i]) << "rows are re-targeted, not rebuilt";
    EXPECT_EQ (rows[8]->getCategory(), categories.getCategories().back());
}

TEST_F (CategoryViewTest, AddingJoinsTheUndoStepOpenAtThatMoment)
{
    CategoryView view (controller.categoryManager);
    view.setSize (400, 400);
    auto& rows = view.getOrganizer().getRows();

    typeInto (rows[1]->getNameLabel(), "Sound");
    EXPECT_EQ (undo.getUndoDescription(), "Rename Category");
    view.getPanel().addButton.triggerClick();
    ASSERT_TRUE (test::pumpUntil ([&] { return rows.size() == 9; }));
    EXPECT_EQ (undo.getUndoDescription(), "Rename Category");

    controller.undo();
    EXPECT_EQ (names(), defaultNames()) << "one undo takes back the rename and the addition";
    EXPECT_FALSE (undo.canUndo());
    ASSERT_TRUE (test::pumpUntil ([&] { return rows.size() == 8; }));
    EXPECT_EQ (rows[1]->getNameLabel().getText(), "Audio");
    EXPECT_TRUE (test::pumpUntil ([&] { return fromFile ("name") == defaultNames(); }));
}

TEST_F (CategoryViewTest, ANameIsEditedAfterADoubleClickAndDiscardedWhenFocusLeaves)
{
    CategoryView view (controller.categoryManager);
    test::TestWindow window (view);
    auto mouse = window.mouse();
    auto& label = view.getOrganizer().getRows()[2]->getNameLabel();

    mouse.click (label, { 20, 10 });
    EXPECT_EQ (label.getCurrentTextEditor(), nullptr) << "a single click does not edit";
    mouse.click (label, { 20, 10 });
    auto* editor = label.getCurrentTextEditor();
    ASSERT_NE (editor, nullptr) << "a double click edits";
    editor->setText ("Lamps", false);
    juce::Component::unfocusAllComponents();
    EXPECT_TRUE (test::pumpUntil ([&] { return label.getCurrentTextEditor() == nullptr; }));
    EXPECT_EQ (label.getText(), "Light");
    EXPECT_FALSE (undo.canUndo());

    typeInto (label, "Lamps");
    EXPECT_EQ (categories.getCategories()[2]->getName(), "Lamps");
    EXPECT_EQ (undo.getUndoDescription(), "Rename Category");
    EXPECT_TRUE (test::pumpUntil ([&] { return fromFile ("name")[2] == "Lamps"; }));
}

TEST_F (CategoryViewTest, OnlyUnusedCategoriesCanBeRemoved)
{
    CategoryView view (controller.categoryManager);
    view.setSize (400, 400);
    auto& rows = view.getOrganizer().getRows();
    auto audio = named ("Audio");

    audio->addUsage();
    ASSERT_TRUE (test::pumpUntil ([&] { return rows[1]->getRemoveButton() == nullptr; }));
    EXPECT_NE (rows[0]->getRemoveButton(), nullptr);

    audio->removeUsage();
    ASSERT_TRUE (test::pumpUntil ([&] { return rows[1]->getRemoveButton() != nullptr; }));
    auto* remove = rows[1]->getRemoveButton();
    EXPECT_EQ (remove->findColour (SvgButton::iconColourId), juce::Colour (0xffff0000));
    EXPECT_FLOAT_EQ (remove->getAlpha(), 0.2f) << "faint until hovered";

    // A cue takes the category before the row has heard of it: the button still refuses.
    audio->addUsage();
    remove->triggerClick();
    test::pumpFor (50);
    EXPECT_EQ (names(), defaultNames());
    EXPECT_FALSE (undo.canUndo());
    audio->removeUsage();
    ASSERT_TRUE (test::pumpUntil ([&] { return rows[1]->getRemoveButton() != nullptr; }));

    rows[1]->getRemoveButton()->triggerClick();
    ASSERT_TRUE (test::pumpUntil ([&] { return rows.size() == 7; }));
    EXPECT_EQ (named ("Audio"), nullptr);
    EXPECT_EQ (rows[1]->getCategory(), named ("Light"));
    EXPECT_EQ (undo.getUndoDescription(), "Remove Category");
    EXPECT_TRUE (test::pumpUntil ([&] { return fromFile ("name").size() == 7; }));

    controller.undo();
    ASSERT_TRUE (test::pumpUntil ([&] { return rows.size() == 8; }));
    EXPECT_EQ (names(), defaultNames());
}

TEST_F (CategoryViewTest, TheDotIsFaintWhileToggledOffAndFollowsTheColour)
{
    CategoryButton dot;
    dot.setSize (19, 19);
    dot.setCategory (named ("Audio"));
    EXPECT_TRUE (dot.getClickingTogglesState()) << "toggleable unless its owner says otherwise";
    EXPECT_EQ (dot.getName(), "CategoryButton");

    dot.setToggleState (true, juce::dontSendNotification);
    EXPECT_EQ (centreOf (dot).getARGB(), 0xff3fb6dcu);
    dot.setToggleState (false, juce::dontSendNotification);
    const auto faint = centreOf (dot);
    EXPECT_EQ (faint.getAlpha(), 26);
    // Stored premultiplied: at alpha 26 the channels come back to within a few steps.
    EXPECT_NEAR (faint.getRed(), 0x3f, 10);
    EXPECT_NEAR (faint.getGreen(), 0xb6, 10);
    EXPECT_NEAR (faint.getBlue(), 0xdc, 10);

    named ("Audio")->setColor (juce::Colour (0xff00ff00));
    dot.setToggleState (true, juce::dontSendNotification);
    EXPECT_EQ (centreOf (dot).getARGB(), 0xff00ff00u);

    // A wider button: the dot keeps the height as its diameter, the rest stays empty.
    dot.setSize (60, 19);
    const auto image = dot.createComponentSnapshot (dot.getLocalBounds(), true, 1.0f);
    EXPECT_EQ (image.getPixelAt (40, 9).getAlpha(), 0);
}

TEST_F (CategoryViewTest, EachOpeningOfThePickerIsOneColourStep)
{
    CategoryView view (controller.categoryManager);
    test::TestWindow window (view);
    auto& organizer = view.getOrganizer();
    auto& picker = organizer.getColourPicker();
    auto& rows = organizer.getRows();

    openPicker (*rows[0]);
    ASSERT_TRUE (picker.isOpen());
    EXPECT_EQ (picker.picker.getColour().getARGB(), 0xffd52fd5u);
    typeInto (picker.picker.getHexLabel(), "ff0000");
    typeInto (picker.picker.getHexLabel(), "00ff00");
    EXPECT_EQ (categories.getCategories()[0]->getState()["color"].toString(), "ff00ff00");
    EXPECT_EQ (undo.getUndoDescription(), "Set Category Color");
    ASSERT_TRUE (closeMenus());

    openPicker (*rows[0]);
    typeInto (picker.picker.getHexLabel(), "0000ff");
    ASSERT_TRUE (closeMenus());
    EXPECT_EQ (categories.getCategories()[0]->getState()["color"].toString(), "ff0000ff");

    controller.undo();
    EXPECT_EQ (categories.getCategories()[0]->getState()["color"].toString(), "ff00ff00");
    controller.undo();
    EXPECT_EQ (categories.getCategories()[0]->getState()["color"].toString(), "ffd52fd5");
    EXPECT_EQ (rows[0]->getDot().findColour (juce::TextButton::buttonColourId).getARGB(), 0xffd52fd5u);
}

TEST_F (CategoryViewTest, ThePickerClosesBeforeItsRowGoes)
{
    auto view = std::make_unique<CategoryView> (controller.categoryManager);
    test::TestWindow window (*view);
    auto& organizer = view->getOrganizer();
    auto& rows = organizer.getRows();

    view->getPanel().addButton.triggerClick();
    ASSERT_TRUE (test::pumpUntil ([&] { return rows.size() == 9; }));
    undo.beginNewTransaction();
    openPicker (*rows[8]);

    // Undoing the addition removes the row the picker points at.
    controller.undo();
    ASSERT_TRUE (test::pumpUntil ([&] { return rows.size() == 8; }));
    EXPECT_FALSE (organizer.getColourPicker().isOpen());
    EXPECT_TRUE (test::pumpUntil ([] { return findMenuWindow() == nullptr; }));

    // Removing the category it edits closes it too, though its row stays.
    openPicker (*rows[1]);
    undo.beginNewTransaction ("Remove Category");
    categories.removeCategory (*named ("Audio"));
    ASSERT_TRUE (test::pumpUntil ([&] { return rows.size() == 7; }));
    EXPECT_FALSE (organizer.getColourPicker().isOpen());
    EXPECT_TRUE (test::pumpUntil ([] { return findMenuWindow() == nullptr; }));

    // A picker open while the page goes is closed with it.
    openPicker (*rows[3]);
    view.reset();
    EXPECT_EQ (findMenuWindow(), nullptr) << "closed at once, not when the framework notices";
    test::pumpFor (100);
}
