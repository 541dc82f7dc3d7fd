#include "WebClientsFixture.h"

#include "pages/CategoryMaskScroller.h"
#include "pages/CategoryNameScroller.h"

// The colour-mask grid of the web-client page on its own: one strip of toggles per server,
// one column per category in use, the slanted names above.
namespace
{
struct ColorMaskStripTest : test::WebClientsFixture
{
    std::unique_ptr<CategoryMaskScroller> grid;
    std::unique_ptr<CategoryNameScroller> names;

    void build()
    {
        grid = std::make_unique<CategoryMaskScroller> (controller->categoryManager, controller->serverManager);
        names = std::make_unique<CategoryNameScroller> (controller->categoryManager);
    }

    std::shared_ptr<VantrelServer> server (int i) const { return controller->serverManager->getServer (i); }

    /** Per strip, the toggles as '1' (lit) or '0' (dark). */
    juce::StringArray toggles() const
    {
        juce::StringArray result;
        for (auto* strip : grid->getStrips())
        {
            juce::String row;
            for (auto* button : strip->getButtons())
                row << (button->getToggleState() ? "1" : "0");
            result.add (row);
        }
        return result;
    }

    /** A click on a toggle, delivered as the button's own click. */
    void click (int strip, int toggle)
    {
        auto* button = grid->getStrips()[strip]->getButtons()[toggle];
        const auto before = button->getToggleState();
        button->triggerClick();
        ASSERT_TRUE (test::pumpUntil ([&] { return button->getToggleState() != before; }));
    }

    juce::StringArray labelTexts() const
    {
        juce::StringArray result;
        for (auto* label : names->getLabels())
            result.add (label->getText());
        return result;
    }
};
}

TEST_F (ColorMaskStripTest, AColumnPerCategoryInUseAndAStripPerServer)
{
    // B hides Video, which no cue uses: no column shows it and its strip is all lit.
    startWithTwoServers ("<color color=\"ff7540ee\"/>");
    build();

    ASSERT_EQ (grid->getStrips().size(), 2);
    EXPECT_EQ (grid->getBounds(), juce::Rectangle<int> (0, 0, 125, 80));
    EXPECT_EQ (names->getBounds(), juce::Rectangle<int> (0, 0, 210, 141));
    EXPECT_EQ (labelTexts(), juce::StringArray ({ "Audio", "Light", "Laser" }));
    EXPECT_EQ (toggles(), juce::StringArray ({ "111", "111" }));

    for (int s = 0; s < 2; ++s)
    {
        const auto& buttons = grid->getStrips()[s]->getButtons();
        EXPECT_EQ (grid->getStrips()[s]->getBounds(), juce::Rectangle<int> (0, 40 * s, 125, 40));
        for (int i = 0; i < buttons.size(); ++i)
            EXPECT_EQ (buttons[i]->getBounds(), juce::Rectangle<int> (50 * i, 8, 50, 24));
    }
    // Each name rises from the foot of its column.
    EXPECT_EQ (juce::Point<float> (0.0f, 0.0f).transformedBy (names->getLabels()[2]->getTransform()),
               juce::Point<float> (100.0f, 120.0f));
    const auto end = juce::Point<float> (200.0f, 0.0f).transformedBy (names->getLabels()[2]->getTransform());
    EXPECT_NEAR (end.x, 100.0f + 141.42f, 0.01f);
    EXPECT_NEAR (end.y, 120.0f - 141.42f, 0.01f);
}

TEST_F (ColorMaskStripTest, AMaskChangeDimsTheTogglesOfThatServerOnly)
{
    startWithTwoServers();
    build();

    server (0)->getColorMask()->setColors ({ juce::Colour (light) });
    EXPECT_EQ (toggles(), juce::StringArray ({ "101", "111" }));
    controller->undo();
    EXPECT_EQ (toggles(), juce::StringArray ({ "111", "111" }));
}

TEST_F (ColorMaskStripTest, EachClickWritesTheDarkTogglesAsOneUndoStep)
{
    // A hides Video, which no cue uses: the first click keeps only what the toggles show.
    startWithTwoServers();
    server (0)->getColorMask()->setColors ({ juce::Colour (video) });
    AppData::getUndoManager()->clearUndoHistory();
    build();
    auto& undo = *AppData::getUndoManager();

    click (0, 2);
    EXPECT_EQ (masked (server (0)), juce::StringArray ({ "ff26d256" }));
    EXPECT_EQ (undo.getUndoDescription(), "Set Color Mask");
    click (0, 0);
    EXPECT_EQ (masked (server (0)), juce::StringArray ({ "ff26d256", "ff3fb6dc" }));
    click (0, 2);
    EXPECT_EQ (masked (server (0)), juce::StringArray ({ "ff3fb6dc" }));
    EXPECT_EQ (toggles(), juce::StringArray ({ "011", "111" }));
    EXPECT_TRUE (masked (server (1)).isEmpty());

    for (auto expected : { "ff26d256,ff3fb6dc", "ff26d256", "ff7540ee" })
    {
        ASSERT_TRUE (undo.undo());
        EXPECT_EQ (masked (server (0)).joinIntoString (","), expected);
    }
    EXPECT_FALSE (undo.canUndo()) << "one step per click";
    EXPECT_EQ (toggles(), juce::StringArray ({ "111", "111" }));
}

TEST_F (ColorMaskStripTest, TwoCategoriesOfOneColourAreHiddenTogether)
{
    startWithTwoServers();
    build();
    AppData::getUndoManager()->beginNewTransaction ("Set Category Color");
    category (laser)->setColor (juce::Colour (light));
    ASSERT_TRUE (test::settle());
    ASSERT_EQ (grid->getStrips()[0]->getButtons()[2]->findColour (juce::TextButton::buttonColourId).getARGB(), light);

    click (0, 1);
    EXPECT_EQ (masked (server (0)), juce::StringArray ({ "ffcfb228" }));
    EXPECT_EQ (toggles()[0], "100") << "the mask holds colours, not categories";
}

TEST_F (ColorMaskStripTest, NamesAndColumnsFollowTheCategories)
{
    startWithTwoServers();
    build();

    AppData::getUndoManager()->beginNewTransaction ("Rename");
    category (light)->setName ("Wash lights");
    EXPECT_EQ (labelTexts(), juce::StringArray ({ "Audio", "Wash lights", "Laser" })) << "at once";

    // Video gets a column once a cue uses it; the names scroller grows by one 70 px step.
    AppData::getUndoManager()->beginNewTransaction ("Set Cue Category");
    controller->activeCueListHandler->getActiveCueList()->getCues()[3]->setCategory (category (video));
    ASSERT_TRUE (test::pumpUntil ([this] { return labelTexts().size() == 4; }))
        << labelTexts().joinIntoString (",");
    EXPECT_EQ (labelTexts(), juce::StringArray ({ "Audio", "Wash lights", "Video", "Laser" })) << "in the categories' order";
    EXPECT_EQ (names->getWidth(), 280);
    EXPECT_EQ (grid->getWidth(), 175);
    EXPECT_EQ (toggles(), juce::StringArray ({ "1111", "1111" }));
}
