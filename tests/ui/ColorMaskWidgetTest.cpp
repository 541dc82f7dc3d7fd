#include "CueViewFixture.h"
#include "document/AppData.h"
#include "model/CategoryManager.h"
#include "model/ColorMask.h"
#include "ui/ColorMaskWidget.h"

namespace
{
class ColorMaskWidgetTest : public test::GuiFixture
{
protected:
    std::unique_ptr<AppData> appData = std::make_unique<AppData>();
    std::shared_ptr<CategoryManager> categories = std::make_shared<CategoryManager>();
    std::shared_ptr<ColorMask> mask = std::make_shared<ColorMask> (juce::ValueTree (IDs::ColorMask));
    std::vector<std::unique_ptr<Cue>> cues;
    std::unique_ptr<ColorMaskWidget> widget;

    ColorMaskWidgetTest()
    {
        widget = std::make_unique<ColorMaskWidget> (categories, mask);
        widget->setName ("Show:");
        widget->setBounds (20, 100, 200, 10);
    }

    ~ColorMaskWidgetTest() override
    {
        widget.reset();
        cues.clear();
    }

    /** A cue in the colour, which puts the colour's category in use. */
    void useColour (juce::uint32 argb)
    {
        cues.push_back (std::make_unique<Cue> ((int) cues.size() + 1, "Cue", 1000, 1000, juce::Colour (argb), categories.get()));
    }

    void rebuild()
    {
        // Usage reaches the manager asynchronously; the widget is rebuilt by hand here.
        test::pumpFor (20);
        widget->categoriesChanged();
    }

    juce::UndoManager& undo() { return *AppData::getUndoManager(); }
};
}

TEST_F (ColorMaskWidgetTest, NoCategoryInUse)
{
    rebuild();
    EXPECT_EQ (widget->getNumButtons(), 0);
    EXPECT_TRUE (widget->isAllShown());
    widget->mouseDown ({ juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0, 0, 0, 0, 0, widget.get(),
                         widget.get(), juce::Time(), {}, juce::Time(), 1, false });
    EXPECT_EQ (widget->getHeight(), 20);
}

TEST_F (ColorMaskWidgetTest, AClickHidesTheColourInOneUndoStep)
{
    const auto firstColour = categories->getCategories()[0]->getColor();
    useColour (firstColour.getARGB());
    useColour (categories->getCategories()[1]->getColor().getARGB());
    rebuild();
    ASSERT_EQ (widget->getNumButtons(), 2);
    EXPECT_EQ (widget->getButton (0)->getBounds(), juce::Rectangle<int> (0, 20, 200, 40));
    EXPECT_TRUE (widget->getButton (0)->getToggleState());
    undo().clearUndoHistory();

    widget->getButton (0)->triggerClick();
    ASSERT_TRUE (test::pumpUntil ([&] { return mask->getColors().size() == 1; }));
    EXPECT_EQ (mask->getColors()[0], firstColour);
    EXPECT_EQ (undo().getUndoDescription(), "Set Color Mask");
    EXPECT_FALSE (widget->getButton (0)->getToggleState());
    EXPECT_FALSE (widget->isAllShown());

    undo().undo();
    EXPECT_TRUE (mask->getColors().isEmpty());
    EXPECT_TRUE (widget->getButton (0)->getToggleState());
    EXPECT_TRUE (widget->isAllShown());
}

TEST_F (ColorMaskWidgetTest, OpenOrClosedFollowsTheRealHeight)
{
    useColour (categories->getCategories()[0]->getColor().getARGB());
    rebuild();
    const juce::MouseEvent click (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0, 0, 0, 0, 0, widget.get(),
                                  widget.get(), juce::Time(), {}, juce::Time(), 1, false);

    widget->mouseDown (click);
    EXPECT_TRUE (widget->isExpanded());
    EXPECT_EQ (widget->getHeight(), 60);

    // The owner's layout closes it; the next click opens it again at once.
    widget->setSize (200, 10);
    EXPECT_FALSE (widget->isExpanded());
    widget->mouseDown (click);
    EXPECT_EQ (widget->getHeight(), 60);
    widget->mouseDown (click);
    EXPECT_EQ (widget->getHeight(), 10);
}

TEST_F (ColorMaskWidgetTest, ANewCategoryColourResyncsTheButtonButNotTheMask)
{
    auto category = categories->getCategories()[0];
    const auto oldColour = category->getColor();
    useColour (oldColour.getARGB());
    rebuild();
    mask->setColors ({ oldColour });
    ASSERT_FALSE (widget->getButton (0)->getToggleState());

    const juce::Colour newColour (0xff123456);
    category->setColor (newColour);
    ASSERT_TRUE (test::pumpUntil ([&] { return widget->getButton (0)->getColour() == newColour; }));
    EXPECT_TRUE (widget->getButton (0)->getToggleState());
    EXPECT_TRUE (widget->isAllShown());
    EXPECT_EQ (mask->getColors(), juce::Array<juce::Colour> ({ oldColour }));
}
