#include "PagesFixture.h"
#include "pages/CsvFileComponent.h"

namespace
{
struct CsvFileComponentTest : test::PagesFixture
{
    std::shared_ptr<CueList> list;
    std::unique_ptr<CsvFileComponent> row;

    CsvFileComponentTest()
    {
        addLists();
        list = controller.cueListManager->getCueLists()[2]; // "Act 2"
        row = std::make_unique<CsvFileComponent> (controller.cueListManager, controller.selectedCueListHandler, list);
        row->setSize (400, 23);
    }

    ~CsvFileComponentTest() override { row.reset(); }

    /** Edits a label as a user does after the double click, ending with Return. */
    static void edit (juce::Label& label, const juce::String& text)
    {
        label.showEditor();
        auto* editor = label.getCurrentTextEditor();
        ASSERT_NE (editor, nullptr);
        editor->setText (text, false);
        label.hideEditor (false);
    }
};
}

TEST_F (CsvFileComponentTest, LaysOutHandleLabelsAndCornerButtons)
{
    EXPECT_EQ (row->getName(), "Act 2");
    EXPECT_EQ (row->getComponentID(), list->getUuid());
    EXPECT_EQ (row->getHandle().getBounds(), juce::Rectangle<int> (6, 0, 10, 23));
    EXPECT_EQ (row->getNameLabel().getBounds(), juce::Rectangle<int> (22, 0, 240, 23));
    EXPECT_EQ (row->getOffsetLabel().getBounds(), juce::Rectangle<int> (268, 0, 110, 23));
    EXPECT_EQ (row->getDeleteButton().getBounds(), juce::Rectangle<int> (384, 6, 10, 11));
    EXPECT_EQ (row->getActiveIcon().getBounds(), row->getDeleteButton().getBounds());

    // Narrow rows shrink every part to nothing rather than below it.
    row->setSize (30, 23);
    EXPECT_EQ (row->getOffsetLabel().getWidth(), 0);
    EXPECT_EQ (row->getNameLabel().getWidth(), 0);
}

TEST_F (CsvFileComponentTest, NamesAndOffsetsAreEditedAfterADoubleClickAndStoredAsOneStep)
{
    for (auto* label : { &row->getNameLabel(), &row->getOffsetLabel() })
    {
        EXPECT_TRUE (label->isEditableOnDoubleClick());
        EXPECT_FALSE (label->isEditableOnSingleClick());
        EXPECT_TRUE (label->doesLossOfFocusDiscardChanges());
    }
    EXPECT_EQ (row->getNameLabel().getText(), "Act 2");
    EXPECT_EQ (row->getOffsetLabel().getText(), "00:00:00:00");

    edit (row->getNameLabel(), "Finale");
    EXPECT_EQ (list->getName(), "Finale");
    EXPECT_EQ (undo.getUndoDescription(), "Set CueList Name");

    const struct
    {
        const char* typed;
        const char* stored;
    } offsets[] = { { "01:00:00:00", "01:00:00:00" }, { "1:2:3:4", "01:02:03:04" }, { "late", "00:00:00:00" },
                    { "nonsense", "00:00:00:00" } };
    for (const auto& o : offsets)
    {
        edit (row->getOffsetLabel(), o.typed);
        EXPECT_EQ (list->getOffset(), o.stored) << o.typed;
        EXPECT_EQ (row->getOffsetLabel().getText(), o.stored) << "the label shows what is stored, not what was typed";
    }
    controller.undo();
    EXPECT_EQ (list->getOffset(), "01:02:03:04");
    EXPECT_EQ (row->getOffsetLabel().getText(), "01:02:03:04");
    EXPECT_EQ (undo.getUndoDescription(), "Set CueList Offset");

    // Changes from elsewhere reach the labels.
    list->setName ("Encore");
    EXPECT_EQ (row->getNameLabel().getText(), "Encore");
    list->setOffset ("03:00:00:00");
    EXPECT_EQ (row->getOffsetLabel().getText(), "03:00:00:00");
}

TEST_F (CsvFileComponentTest, TheArrowMarksTheSelectedListAndGivesWayToTheDeleteButton)
{
    auto& selection = *controller.selectedCueListHandler;
    EXPECT_FALSE (row->isActive());
    EXPECT_FALSE (row->getActiveIcon().isVisible());

    const auto image = [this] { return row->createComponentSnapshot (row->getLocalBounds()); };
    EXPECT_NE (image().getPixelAt (100, 3), juce::Colour (0xff1d1929));
    selection.setActiveCueList (list);
    EXPECT_TRUE (row->isActive());
    EXPECT_TRUE (row->getActiveIcon().isVisible());
    EXPECT_EQ (image().getPixelAt (100, 3), juce::Colour (0xff1d1929)) << "the selected fill";
    EXPECT_NE (image().getPixelAt (0, 0), juce::Colour (0xff1d1929)) << "rounded on the left";

    // Hovering the delete button fades the arrow out as the button fades in.
    EXPECT_FLOAT_EQ (row->getDeleteButton().getAlpha(), 0.2f);
    row->getDeleteButton().setAlpha (0.7f);
    row->getDeleteButton().onAlphaChanged (0.7f);
    EXPECT_NEAR (row->getActiveIcon().getAlpha(), 0.3f, 0.01f);

    selection.setActiveCueList (controller.cueListManager->getCueLists()[1]);
    EXPECT_FALSE (row->isActive());
    EXPECT_FALSE (row->getActiveIcon().isVisible());
}
