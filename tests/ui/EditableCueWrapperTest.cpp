#include "ui/EditableCueWrapper.h"

#include "CueViewFixture.h"
#include "PeerInput.h"
#include "model/CategoryManager.h"
#include "model/CueListManager.h"
#include "pages/CategoryDropdown.h"
#include "pages/PagesFixture.h"
#include "ui/CueView.h"
#include "ui/TimetableCueComponent.h"
#include "ui/kit/VantrelLookAndFeel.h"

namespace
{
constexpr double hour = 3600000.0, minute = 60000.0, day = 86400000.0;

/** Editable rows over the lists of a real document, in a window of their own. */
struct EditableCueWrapperTest : test::PagesFixture
{
    VantrelLookAndFeel lookAndFeel;
    juce::Component window;
    std::shared_ptr<CueList> list;
    std::unique_ptr<EditableCueWrapper> row;

    EditableCueWrapperTest()
    {
        juce::Desktop::getInstance().setDefaultLookAndFeel (&lookAndFeel);
        window.setBounds (100, 100, 700, 200);
        window.addToDesktop (0);
        window.setVisible (true);
    }

    ~EditableCueWrapperTest() override
    {
        row.reset();
        window.removeFromDesktop();
        juce::Desktop::getInstance().setDefaultLookAndFeel (nullptr);
    }

    /** A timetable whose cues run {start, end}, one after the other, with no undo history. */
    void addTimetable (std::vector<std::pair<double, double>> ranges)
    {
        auto node = test::listNode ("Day", 0, 0, true);
        auto cues = node.getChildWithName (IDs::Cues);
        cues.removeAllChildren (nullptr);
        int number = 1;
        for (auto [start, end] : ranges)
        {
            juce::ValueTree cue (IDs::cue);
            cue.setProperty (IDs::id, juce::Uuid().toString(), nullptr);
            cue.setProperty (IDs::number, number++, nullptr);
            cue.setProperty (IDs::text, "Doors", nullptr);
            cue.setProperty (IDs::start, start, nullptr);
            cue.setProperty (IDs::duration, end - start, nullptr);
            cue.setProperty (IDs::color, "ffee8800", nullptr);
            cues.appendChild (cue, nullptr);
        }
        controller.cueListManager->getState().appendChild (node, nullptr);
        ASSERT_TRUE (test::pumpUntil ([this] { return (list = controller.cueListManager->getTimetable()) != nullptr; }));
        undo.clearUndoHistory();
    }

    /** A plain list of one cue at 10 s. */
    void addShow()
    {
        auto node = test::listNode ("Show", 0, 10000);
        controller.cueListManager->getState().appendChild (node, nullptr);
        const auto uuid = node[IDs::uuid].toString();
        ASSERT_TRUE (test::pumpUntil ([&] { return (list = controller.cueListManager->getCueList (uuid)) != nullptr; }));
        undo.clearUndoHistory();
    }

    EditableCueWrapper& makeRow (int cueIndex = 0, int width = 600, int height = 50)
    {
        row = std::make_unique<EditableCueWrapper> (list);
        if (list->isTimetable())
            row->setCueComponent (std::make_unique<TimetableCueComponent>());
        else
            row->setCueComponent (std::make_unique<CueComponent>());
        window.addAndMakeVisible (*row);
        row->setBounds (10, 10, width, height);
        row->setCue (list->getCues()[(size_t) cueIndex], list->getFps());
        return *row;
    }

    CueComponent& rowComponent() { return *row->getCueComponent(); }
    std::shared_ptr<Cue> cue (int i = 0) const { return list->getCues()[(size_t) i]; }
    juce::Range<double> range (int i = 0) const { return cue (i)->getRange(); }

    static void typeInto (juce::Label& label, const juce::String& text)
    {
        label.showEditor();
        auto* editor = label.getCurrentTextEditor();
        ASSERT_NE (editor, nullptr);
        editor->setText (text, false);
        label.hideEditor (false);
    }
};
}

TEST_F (EditableCueWrapperTest, TypedTimesOfDayAreOneStepAndAnEndBeforeTheStartIsOnTheNextDay)
{
    enum Field { start, end };
    const struct
    {
        Field field;
        const char* text;
        juce::Range<double> expected;
        const char* step;
    } cases[] = {
        { start, "14:30", { 52200000.0, 133200000.0 }, "Change Cue Start" },
        { start, "9:15", { 9 * hour + 15 * minute, 13 * hour }, "Change Cue Start" },
        { end, "12:45", { 12 * hour, 12 * hour + 45 * minute }, "Change Cue End" },
        { end, "11:00", { 12 * hour, 11 * hour + day }, "Change Cue End" },
        { end, "12:00", { 12 * hour, 12 * hour }, "Change Cue End" },
    };
    for (const auto& c : cases)
    {
        addTimetable ({ { 12 * hour, 13 * hour } });
        makeRow();
        auto& label = c.field == start ? rowComponent().getNumberLabel() : rowComponent().getTimeLabel();
        typeInto (label, c.text);

        EXPECT_EQ (range(), c.expected) << c.text;
        EXPECT_EQ (undo.getUndoDescription(), c.step) << c.text;
        ASSERT_TRUE (undo.undo());
        EXPECT_EQ (range(), juce::Range<double> (12 * hour, 13 * hour)) << c.text << ": one step moves both";
        EXPECT_FALSE (undo.canUndo()) << c.text;

        // The next case starts from a document without a timetable.
        row.reset();
        controller.cueListManager->getState().removeAllChildren (nullptr);
        ASSERT_TRUE (test::pumpUntil ([this] { return controller.cueListManager->getTimetable() == nullptr; }));
    }
}

TEST_F (EditableCueWrapperTest, TextThatIsNoTimeOfDayIsRefusedAndTheCuesTimesComeBack)
{
    addTimetable ({ { 12 * hour, 13 * hour } });
    makeRow();
    auto& startLabel = rowComponent().getNumberLabel();
    auto& endLabel = rowComponent().getTimeLabel();

    for (auto* label : { &startLabel, &endLabel })
        for (auto text : { "9.30", "abc", "25:99", "", "12:60", "1200" })
        {
            typeInto (*label, text);
            EXPECT_EQ (range(), juce::Range<double> (12 * hour, 13 * hour)) << text << " never becomes 00:00";
            EXPECT_EQ (startLabel.getText(), "12:00") << text;
            EXPECT_EQ (endLabel.getText(), "13:00") << text;
            EXPECT_FALSE (undo.canUndo()) << text << ": the step opened for it stays empty";
        }

    // A good time afterwards still lands in a step of its own name.
    typeInto (endLabel, "13:30");
    EXPECT_EQ (range().getEnd(), 13 * hour + 30 * minute);
    EXPECT_EQ (undo.getUndoDescription(), "Change Cue End");
}

TEST_F (EditableCueWrapperTest, NamesAndTimesEditOnADoubleClickOnly)
{
    addTimetable ({ { 12 * hour, 13 * hour } });
    makeRow();
    test::PeerMouse mouse (window);

    for (auto* label : { &rowComponent().getNameLabel(), &rowComponent().getNumberLabel(), &rowComponent().getTimeLabel() })
    {
        const auto centre = label->getLocalBounds().getCentre();
        mouse.click (*label, centre);
        EXPECT_EQ (label->getCurrentTextEditor(), nullptr) << "a single click does not edit";
        mouse.click (*label, centre);
        ASSERT_NE (label->getCurrentTextEditor(), nullptr) << "a double click edits";
        label->getCurrentTextEditor()->setText ("Lamps", false);
        juce::Component::unfocusAllComponents();
        EXPECT_TRUE (test::pumpUntil ([&] { return label->getCurrentTextEditor() == nullptr; }));
        EXPECT_FALSE (undo.canUndo()) << "leaving the field discards the edit";
    }

    typeInto (rowComponent().getNameLabel(), "Curtain");
    EXPECT_EQ (cue()->getText(), "Curtain");
    EXPECT_EQ (undo.getUndoDescription(), "Change Cue Name");
}

TEST_F (EditableCueWrapperTest, PlainRowsHaveTheChooserAndAnEditableNameButNoTimetableControls)
{
    addShow();
    makeRow (0, 600, 42);
    EXPECT_FALSE (row->getRemoveButton().isVisible());
    EXPECT_FALSE (row->getAddSubtract().isVisible());
    ASSERT_NE (row->getCategoryChooser(), nullptr);
    EXPECT_TRUE (row->getCategoryChooser()->isVisible());
    EXPECT_EQ (row->getCategoryChooser()->getBounds(), juce::Rectangle<int> (0, 15, 22, 12));
    EXPECT_EQ (rowComponent().getBounds(), juce::Rectangle<int> (22, 0, 578, 42));

    EXPECT_TRUE (rowComponent().getNameLabel().isEditableOnDoubleClick());
    EXPECT_FALSE (rowComponent().getNumberLabel().isEditable()) << "only timetable rows edit times";
    typeInto (rowComponent().getNameLabel(), "Blackout");
    EXPECT_EQ (cue()->getText(), "Blackout");
    EXPECT_EQ (undo.getUndoDescription(), "Change Cue Name");
}

TEST_F (EditableCueWrapperTest, TimetableRowsLayOutChooserRowPlusMinusAndRemoveButton)
{
    addTimetable ({ { 12 * hour, 13 * hour } });
    const struct
    {
        int w, h;
        juce::Rectangle<int> chooser, row, addSubtract, remove;
    } cases[] = {
        { 600, 50, { 0, 15, 22, 20 }, { 22, 0, 534, 50 }, { 556, 2, 22, 46 }, { 584, 6, 10, 38 } },
        { 30, 12, { 0, 15, 22, 0 }, { 22, 0, 0, 12 }, { 22, 2, 0, 8 }, { 28, 6, 0, 0 } },
        { 0, 0, { 0, 15, 0, 0 }, { 0, 0, 0, 0 }, { 0, 2, 0, 0 }, { 6, 6, 0, 0 } },
    };
    for (const auto& c : cases)
    {
        makeRow (0, c.w, c.h);
        EXPECT_TRUE (row->getRemoveButton().isVisible());
        EXPECT_TRUE (row->getAddSubtract().isVisible());
        EXPECT_EQ (row->getCategoryChooser()->getBounds(), c.chooser) << c.w;
        EXPECT_EQ (rowComponent().getBounds(), c.row) << c.w;
        EXPECT_EQ (row->getAddSubtract().getBounds(), c.addSubtract) << c.w;
        EXPECT_EQ (row->getRemoveButton().getBounds(), c.remove) << c.w;
    }
}

TEST_F (EditableCueWrapperTest, TheRedButtonRemovesTheCueAsOneStepAndAGoneCueIsLeftAlone)
{
    addTimetable ({ { 12 * hour, 13 * hour }, { 13 * hour, 14 * hour } });
    makeRow (1);
    auto& button = row->getRemoveButton();
    EXPECT_EQ (button.findColour (SvgButton::iconColourId), juce::Colour (0xffff0000));
    EXPECT_FLOAT_EQ (button.getAlpha(), 0.2f) << "resting, it fades";

    button.triggerClick();
    ASSERT_TRUE (test::pumpUntil ([this] { return list->getCues().size() == 1; }));
    EXPECT_EQ (undo.getUndoDescription(), "Remove Cue");

    // The row is still there until its owner rebuilds: a second press finds no cue.
    button.triggerClick();
    EXPECT_TRUE (test::settle());
    EXPECT_EQ (list->getCues().size(), 1u);
    ASSERT_TRUE (undo.undo());
    EXPECT_FALSE (undo.canUndo()) << "the second press made no step";
    ASSERT_TRUE (test::pumpUntil ([this] { return list->getCues().size() == 2; }));
}

TEST_F (EditableCueWrapperTest, PlusAndMinusMoveThisAndEveryLaterCueByAMinute)
{
    addTimetable ({ { 12 * hour, 13 * hour }, { 13 * hour, 14 * hour }, { 14 * hour, 15 * hour } });
    makeRow (1);
    auto& control = row->getAddSubtract();
    const int h = control.getHeight();
    test::PeerMouse mouse (window);

    mouse.moveTo (control, { 10, h / 4 });
    mouse.press (control, { 10, h / 4 });
    EXPECT_EQ (control.getPressed(), AddSubtractComponent::upper);
    mouse.release (control, { 10, h / 4 });
    EXPECT_EQ (control.getPressed(), AddSubtractComponent::none);
    EXPECT_EQ (range (0), juce::Range<double> (12 * hour, 13 * hour)) << "earlier cues stay";
    EXPECT_EQ (range (1), juce::Range<double> (13 * hour, 14 * hour + minute));
    EXPECT_EQ (range (2), juce::Range<double> (14 * hour + minute, 15 * hour + minute));
    EXPECT_EQ (undo.getUndoDescription(), "Set Cues Overtime");

    // Pressed on "+", released over "-": the release decides.
    mouse.press (control, { 10, h / 4 });
    mouse.dragTo (control, { 10, 3 * h / 4 });
    EXPECT_EQ (control.getPressed(), AddSubtractComponent::upper) << "only the pressed half lights";
    mouse.release (control, { 10, 3 * h / 4 });
    EXPECT_EQ (range (1), juce::Range<double> (13 * hour, 14 * hour));
    EXPECT_EQ (range (2), juce::Range<double> (14 * hour, 15 * hour));
}

TEST_F (EditableCueWrapperTest, TheChooserSetsTheCategoryAndFollowsItsChange)
{
    addShow();
    makeRow (0, 600, 42);
    auto* first = row->getCategoryChooser();
    ASSERT_NE (first, nullptr);
    EXPECT_EQ (first->getCategory(), cue()->getCategory());

    const auto categories = controller.categoryManager->getCategories();
    ASSERT_GE (categories.size(), 3u);
    first->showPopup();
    first->categoryChosen (3);
    juce::PopupMenu::dismissAllActiveMenus();
    EXPECT_EQ (cue()->getCategory(), categories[2]);
    EXPECT_EQ (undo.getUndoDescription(), "Set Cue Category");

    // The cue announces its new category; the row gets a chooser for it.
    ASSERT_TRUE (test::pumpUntil ([&] {
        return row->getCategoryChooser() != nullptr && row->getCategoryChooser()->getCategory() == categories[2];
    }));
    EXPECT_TRUE (row->getCategoryChooser()->isVisible());
}

TEST_F (EditableCueWrapperTest, ACueViewThatShowsAnotherListEditsThatList)
{
    CueView view (42);
    view.setSize (600, 300);
    auto first = test::makeCueList ({ { 1, "Doors", 12 * hour, hour, 0xffee8800 } }, 1000, true);
    auto second = test::makeCueList ({ { 1, "Dinner", 14 * hour, hour, 0xffee8800 } }, 1000, true);
    view.setCueList (first, {});
    view.setCueList (second, {});

    auto* shown = dynamic_cast<EditableCueWrapper*> (view.getRow (0));
    ASSERT_NE (shown, nullptr);
    ASSERT_EQ (shown->getCueComponent()->getCue(), second->getCues().front());
    shown->getRemoveButton().triggerClick();
    EXPECT_TRUE (test::pumpUntil ([&] { return second->getCues().empty(); })) << "the row removes from the list it shows";
    EXPECT_EQ (first->getCues().size(), 1u);
}
