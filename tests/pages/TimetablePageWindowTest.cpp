#include "PagesFixture.h"
#include "PreferencesWindows.h"
#include "model/CueListManager.h"
#include "pages/PreferencesView.h"
#include "pages/TimetableEditor.h"
#include "pages/TimetableEditorView.h"
#include "ui/DesktopWindow.h"
#include "ui/MainComponent.h"
#include "ui/PeerInput.h"

// The timetable page in the preferences window as the application builds it, driven through
// its native window.
namespace
{
struct TimetablePageWindowTest : test::WithPreferencesWindows<test::PagesFixture>
{
    TimetableEditorView& page()
    {
        EXPECT_TRUE (test::pumpUntil ([this] { return view->getPage() != nullptr; }));
        view->getSideBarButtons()[1]->triggerClick();
        EXPECT_TRUE (test::pumpUntil ([this] { return dynamic_cast<TimetableEditorView*> (view->getPage()) != nullptr; }));
        return *dynamic_cast<TimetableEditorView*> (view->getPage());
    }

    juce::Range<double> range (int i) const
    {
        return controller.cueListManager->getTimetable()->getCues()[(size_t) i]->getRange();
    }
};
}

TEST_F (TimetablePageWindowTest, TheFirstAddMakesTheTimetableAndTwoControlZTakeEverythingAway)
{
    auto& timetablePage = page();
    auto& editor = timetablePage.getEditor();
    auto& add = timetablePage.getPanel().addButton;
    ASSERT_TRUE (add.isShowing());
    ASSERT_EQ (controller.cueListManager->getTimetable(), nullptr);
    undo.clearUndoHistory();

    const auto centre = add.getLocalBounds().getCentre();
    mouse.click (add, centre);
    ASSERT_TRUE (test::pumpUntil ([&] { return editor.getNumRows() == 1; }));
    EXPECT_EQ (range (0), juce::Range<double> (13 * 3600000.0, 14 * 3600000.0)) << "13:00 for an hour";
    EXPECT_EQ (undo.getUndoDescription(), "Create Timetable");
    EXPECT_TRUE (editor.getNameLabel().isVisible());

    mouse.click (add, centre);
    ASSERT_TRUE (test::pumpUntil ([&] { return editor.getNumRows() == 2; }));
    EXPECT_EQ (range (1).getStart(), 14 * 3600000.0);
    EXPECT_EQ (undo.getUndoDescription(), "Add Cue");

    prefsContent->focusContent();
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE (peer().handleKeyPress (juce::KeyPress ('z', juce::ModifierKeys::ctrlModifier, 0)));
    EXPECT_EQ (controller.cueListManager->getTimetable(), nullptr);
    EXPECT_TRUE (controller.cueListManager->getState().getNumChildren() == 0);
    EXPECT_FALSE (undo.canUndo());
    ASSERT_TRUE (test::pumpUntil ([&] { return editor.getTimetable() == nullptr; }));
    EXPECT_EQ (editor.getNumRows(), 0);
    EXPECT_FALSE (editor.getNameLabel().isVisible());
}
