#include "pages/TimetableEditorView.h"

#include "PagesFixture.h"
#include "model/CueListManager.h"
#include "pages/TimetableEditor.h"
#include "ui/PeerInput.h"
#include "ui/TimetableCueComponent.h"

namespace
{
constexpr double hour = 3600000.0;

struct TimetableEditorTest : test::PagesFixture
{
    juce::Component window;
    std::unique_ptr<TimetableEditorView> view =
        std::make_unique<TimetableEditorView> (controller.cueListManager, controller.categoryManager);
    TimetableEditor& editor = view->getEditor();
    CueListManager& lists = *controller.cueListManager;

    TimetableEditorTest()
    {
        window.setBounds (100, 100, 900, 700);
        window.addAndMakeVisible (*view);
        view->setBounds (window.getLocalBounds());
        window.addToDesktop (0);
        window.setVisible (true);
    }

    ~TimetableEditorTest() override
    {
        view.reset();
        window.removeFromDesktop();
    }

    /** A timetable node of n one-hour cues from 08:00, added without an undo step. */
    static juce::ValueTree timetableNode (int n, const juce::String& name = "Day")
    {
        auto node = test::listNode (name, 0, 0, true);
        auto cues = node.getChildWithName (IDs::Cues);
        cues.removeAllChildren (nullptr);
        for (int i = 0; i < n; ++i)
        {
            juce::ValueTree cue (IDs::cue);
            cue.setProperty (IDs::id, juce::Uuid().toString(), nullptr);
            cue.setProperty (IDs::number, i + 1, nullptr);
            cue.setProperty (IDs::text, "Slot " + juce::String (i + 1), nullptr);
            cue.setProperty (IDs::start, (8 + i) * hour, nullptr);
            cue.setProperty (IDs::duration, hour, nullptr);
            cues.appendChild (cue, nullptr);
        }
        return node;
    }

    void addTimetable (int n)
    {
        lists.getState().appendChild (timetableNode (n), nullptr);
        ASSERT_TRUE (test::pumpUntil ([&] { return editor.getNumRows() == n && editor.getTimetable() != nullptr; }));
        undo.clearUndoHistory();
    }
};
}

TEST_F (TimetableEditorTest, AnEmptyDocumentShowsThePanelWithoutNameOrRows)
{
    auto& panel = view->getPanel();
    EXPECT_EQ (panel.getTitleText(), "Timetable");
    EXPECT_TRUE (panel.addButton.isVisible());
    EXPECT_TRUE (panel.actionDropdown.hasItems());
    EXPECT_EQ (editor.getNumRows(), 0);
    EXPECT_EQ (editor.getNameLabel().getText(), "");

    // "Delete Timetable" without a timetable changes nothing and leaves no step.
    panel.actionDropdown.onItemChosen (TimetableEditorView::deleteTimetableId);
    EXPECT_FALSE (undo.canUndo());
}

TEST_F (TimetableEditorTest, ThePanelIsAtMost800PixelsWideAtTheLeft)
{
    for (auto [width, expected] : { std::pair { 1182, 800 }, std::pair { 600, 600 } })
    {
        view->setSize (width, 500);
        EXPECT_EQ (view->getPanel().getBounds(), juce::Rectangle<int> (0, 0, expected, 500)) << width;
    }
}

TEST_F (TimetableEditorTest, OneReusedFiftyPixelRowPerCueBelowTheName)
{
    addTimetable (12);
    EXPECT_EQ (editor.getContentHeight(), 655);
    EXPECT_EQ (editor.getHeight(), 655) << "taller than the viewport, so it scrolls";
    EXPECT_TRUE (editor.getNameLabel().isVisible());
    EXPECT_EQ (editor.getNameLabel().getText(), "Day");
    EXPECT_EQ (editor.getNameLabel().getBounds(), juce::Rectangle<int> (10, 6, editor.getWidth() - 20, 38));

    std::vector<EditableCueWrapper*> before;
    for (int i = 0; i < 12; ++i)
    {
        auto* row = editor.getRow (i);
        before.push_back (row);
        EXPECT_EQ (row->getBounds(), juce::Rectangle<int> (10, 55 + 50 * i, editor.getWidth() - 20, 50)) << i;
        ASSERT_NE (dynamic_cast<TimetableCueComponent*> (row->getCueComponent()), nullptr);
        EXPECT_EQ (row->getCueComponent()->getCue(), editor.getTimetable()->getCues()[(size_t) i]);
        EXPECT_EQ (row->getCueComponent()->getFps(), 1000);
    }

    auto cues = editor.getTimetable()->getTree().getChildWithName (IDs::Cues);
    cues.removeChild (11, nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return editor.getNumRows() == 11; }));
    EXPECT_EQ (editor.getContentHeight(), 605);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ (editor.getRow (i), before[(size_t) i]) << "row " << i << " stays";
}

TEST_F (TimetableEditorTest, TheNameIsRenamedAfterADoubleClick)
{
    addTimetable (1);
    auto& label = editor.getNameLabel();
    test::PeerMouse mouse (window);

    mouse.click (label, { 20, 10 });
    EXPECT_EQ (label.getCurrentTextEditor(), nullptr) << "a single click does not edit";
    mouse.click (label, { 20, 10 });
    ASSERT_NE (label.getCurrentTextEditor(), nullptr) << "a double click edits";
    label.getCurrentTextEditor()->setText ("Festival", false);
    juce::Component::unfocusAllComponents();
    ASSERT_TRUE (test::pumpUntil ([&] { return label.getCurrentTextEditor() == nullptr; }));

    EXPECT_EQ (editor.getTimetable()->getName(), "Festival") << "leaving the field keeps the typed name";
    EXPECT_EQ (undo.getUndoDescription(), "Set CueList Name");
    ASSERT_TRUE (undo.undo());
    EXPECT_EQ (label.getText(), "Day");
}

TEST_F (TimetableEditorTest, DeleteTimetableIsOneStepAndUndoBringsItBack)
{
    addTimetable (3);
    view->getPanel().actionDropdown.onItemChosen (0); // the menu dismissed
    EXPECT_NE (lists.getTimetable(), nullptr);

    view->getPanel().actionDropdown.onItemChosen (TimetableEditorView::deleteTimetableId);
    EXPECT_EQ (lists.getTimetable(), nullptr);
    EXPECT_EQ (undo.getUndoDescription(), "Delete Cue List");
    ASSERT_TRUE (test::pumpUntil ([&] { return editor.getTimetable() == nullptr; }));
    EXPECT_EQ (editor.getNumRows(), 0);
    EXPECT_FALSE (editor.getNameLabel().isVisible());
    EXPECT_EQ (editor.getContentHeight(), 55);

    ASSERT_TRUE (undo.undo());
    ASSERT_TRUE (test::pumpUntil ([&] { return editor.getNumRows() == 3; }));
    EXPECT_TRUE (editor.getNameLabel().isVisible());
}

TEST_F (TimetableEditorTest, RowsOfAReplacedTimetableEditTheNewOne)
{
    addTimetable (2);
    // Another timetable in place of the first within one turn of the message loop, as a new
    // document brings one.
    lists.getState().removeAllChildren (nullptr);
    lists.getState().appendChild (timetableNode (2, "Other"), nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return editor.getNameLabel().getText() == "Other"; }));
    auto timetable = lists.getTimetable();
    ASSERT_EQ (editor.getTimetable(), timetable);
    ASSERT_EQ (editor.getNumRows(), 2);

    editor.getRow (1)->getRemoveButton().triggerClick();
    EXPECT_TRUE (test::pumpUntil ([&] { return timetable->getCues().size() == 1; }));
    EXPECT_EQ (undo.getUndoDescription(), "Remove Cue");
    EXPECT_TRUE (test::pumpUntil ([&] { return editor.getNumRows() == 1; }));
}
