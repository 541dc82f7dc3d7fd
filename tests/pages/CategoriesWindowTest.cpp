#include "pages/CategoryView.h"

#include "CategoriesFixture.h"
#include "pages/CategoryOrganizer.h"
#include "pages/PreferencesView.h"
#include "ui/DesktopWindow.h"
#include "ui/MainComponent.h"

// The categories page in the preferences window as the application builds it, driven through
// the native windows.
namespace
{
struct CategoriesWindowTest : test::CategoriesFixture
{
    PreferencesView* view = new PreferencesView (controller);
    MainComponent* content = new MainComponent (controller, view);
    DesktopWindow window { content };
    test::PeerMouse mouse { window };

    juce::ComponentPeer& peer() { return *window.getPeer(); }

    CategoryView& categoriesPage()
    {
        EXPECT_TRUE (test::activate (window));
        EXPECT_TRUE (test::pumpUntil ([this] { return dynamic_cast<juce::Component*> (view->getPage()) != nullptr; }));
        mouse.click (*view->getSideBarButtons()[2], { 40, 10 });
        EXPECT_TRUE (test::pumpUntil ([this] { return dynamic_cast<CategoryView*> (view->getPage()) != nullptr; }));
        return *dynamic_cast<CategoryView*> (view->getPage());
    }

    void type (const juce::String& text)
    {
        for (auto c : text)
            peer().handleKeyPress (juce::KeyPress ((int) c, {}, c));
    }

    bool pressControlZ()
    {
        content->focusContent();
        return peer().handleKeyPress (juce::KeyPress ('z', juce::ModifierKeys::ctrlModifier, 0));
    }
};
}

TEST_F (CategoriesWindowTest, TypingAColourStoresItAndControlZTakesItBack)
{
    ASSERT_NE (window.getPeer(), nullptr);
    auto& page = categoriesPage();
    auto& rows = page.getOrganizer().getRows();
    ASSERT_EQ (rows.size(), 8);
    EXPECT_EQ (page.getPanel().getWidth(), 300);

    // From the click on the dot to Return the message loop does not run: the test process
    // shares the display, and another window taking the focus would close the pop-up.
    mouse.click (rows[0]->getDot(), { 9, 9 });
    auto* menu = findMenuWindow();
    ASSERT_NE (menu, nullptr);
    auto& picker = page.getOrganizer().getColourPicker().picker;
    EXPECT_EQ (picker.getHexLabel().getText(), "D52FD5");

    test::PeerMouse menuMouse (*menu);
    menuMouse.click (picker.getHexLabel(), { 40, 15 });
    auto* editor = picker.getHexLabel().getCurrentTextEditor();
    ASSERT_NE (editor, nullptr) << "a single click edits the hex text";
    ASSERT_TRUE (editor->hasKeyboardFocus (false));
    editor->selectAll();
    type ("ff0000");
    peer().handleKeyPress (juce::KeyPress (juce::KeyPress::returnKey));

    ASSERT_TRUE (test::pumpUntil ([&] { return fromFile ("color")[0] == "ffff0000"; })) << fromFile ("color")[0];
    EXPECT_EQ (fromFile ("name")[0], "ALL");
    EXPECT_EQ (rows[0]->getDot().findColour (juce::TextButton::buttonColourId).getARGB(), 0xffff0000u);
    EXPECT_EQ (undo.getUndoDescription(), "Set Category Color");

    ASSERT_TRUE (closeMenus());
    EXPECT_TRUE (pressControlZ());
    ASSERT_TRUE (test::pumpUntil ([&] { return fromFile ("color")[0] == "ffd52fd5"; })) << fromFile ("color")[0];
    EXPECT_EQ (rows[0]->getDot().findColour (juce::TextButton::buttonColourId).getARGB(), 0xffd52fd5u);
    EXPECT_FALSE (undo.canUndo());
}

TEST_F (CategoriesWindowTest, DraggingTheThirdCategoryToTheTopReordersTheFile)
{
    auto& page = categoriesPage();
    auto& rows = page.getOrganizer().getRows();
    ASSERT_EQ (rows.size(), 8);
    auto* third = rows[2];
    auto& handle = third->getHandle();
    auto& top = *rows[0];

    mouse.press (handle, { 5, 10 });
    mouse.dragTo (handle, { 5, 14 });
    EXPECT_TRUE (handle.getToggleState());
    EXPECT_TRUE (page.getOrganizer().isDragAndDropActive());
    mouse.dragTo (top, { 60, 8 });
    EXPECT_EQ (rows[0], third) << "the rows make room while dragging";
    mouse.release (top, { 60, 8 });

    juce::StringArray expected { "Light", "ALL", "Audio", "Video", "Laser", "SFX", "PYRO", "Performance" };
    EXPECT_EQ (names(), expected);
    EXPECT_EQ (undo.getUndoDescription(), "Move Category");
    ASSERT_TRUE (test::pumpUntil ([&] { return fromFile ("name") == expected; })) << fromFile ("name").joinIntoString (",");
    ASSERT_TRUE (test::pumpUntil ([&] { return ! page.getOrganizer().isDragAndDropActive(); }));
    for (int i = 0; i < rows.size(); ++i)
    {
        EXPECT_TRUE (rows[i]->isVisible()) << i;
        EXPECT_FLOAT_EQ (rows[i]->getAlpha(), 1.0f) << i;
        EXPECT_FALSE (rows[i]->getHandle().getToggleState()) << i;
        EXPECT_EQ (rows[i]->getNameLabel().getText(), expected[i]);
    }

    EXPECT_TRUE (pressControlZ());
    EXPECT_EQ (names(), defaultNames());
    EXPECT_FALSE (undo.canUndo()) << "one step";
    EXPECT_TRUE (test::pumpUntil ([&] { return fromFile ("name") == defaultNames(); }));

    // Dropped where it started: no step.
    mouse.press (rows[4]->getHandle(), { 5, 10 });
    mouse.dragTo (rows[4]->getHandle(), { 5, 14 });
    mouse.release (rows[4]->getHandle(), { 5, 14 });
    ASSERT_TRUE (test::pumpUntil ([&] { return ! page.getOrganizer().isDragAndDropActive(); }));
    EXPECT_FALSE (undo.canUndo());
    EXPECT_EQ (names(), defaultNames());
}

TEST_F (CategoriesWindowTest, ADragEndingOutsideTheRowsPutsThemBack)
{
    auto& page = categoriesPage();
    auto& organizer = page.getOrganizer();
    auto& rows = organizer.getRows();
    auto& handle = rows[2]->getHandle();

    mouse.press (handle, { 5, 10 });
    mouse.dragTo (handle, { 5, 14 });
    mouse.dragTo (*rows[0], { 60, 8 });
    ASSERT_EQ (rows[0]->getNameLabel().getText(), "Light");
    mouse.dragTo (*view, { 60, view->getHeight() - 60 }); // over the side bar
    mouse.release (*view, { 60, view->getHeight() - 60 });

    ASSERT_TRUE (test::pumpUntil ([&] { return ! organizer.isDragAndDropActive(); }));
    ASSERT_TRUE (test::pumpUntil ([&] { return ! juce::Desktop::getInstance().getAnimator().isAnimating(); }));
    const auto list = categories.getCategories();
    for (int i = 0; i < rows.size(); ++i)
    {
        EXPECT_TRUE (rows[i]->isVisible()) << i;
        EXPECT_FLOAT_EQ (rows[i]->getAlpha(), 1.0f) << i;
        EXPECT_FALSE (rows[i]->getHandle().getToggleState()) << i;
        EXPECT_EQ (rows[i]->getCategory(), list[(size_t) i]) << i;
        EXPECT_EQ (rows[i]->getY(), 33 * i + 5) << i;
    }
    EXPECT_EQ (names(), defaultNames());
    EXPECT_FALSE (undo.canUndo());
    EXPECT_FALSE (categoriesFile().exists()) << "nothing changed, nothing written";
}
