#include "WebClientsFixture.h"

// The layout of the "Webclients" panel's content: server rows, the colour-mask grid beside the
// names, the slanted names above it.
namespace
{
struct ClientOrganizerTest : test::WebClientsFixture
{
    std::unique_ptr<ClientOrganizer> organizer;

    ClientOrganizer& build (int width, int height = 400)
    {
        organizer = std::make_unique<ClientOrganizer> (controller->serverManager, controller->categoryManager);
        organizer->setBounds (0, 0, width, height);
        return *organizer;
    }
};
}

TEST_F (ClientOrganizerTest, TheGridTakesWhatTheFirstRowLeavesAndTheNamesFollowItsScrolling)
{
    startWithTwoServers();
    auto& o = build (100);
    const auto required = o.getRows()[0]->getRequiredWidth();
    o.setSize (required + 60, 400);

    EXPECT_EQ (o.getGridViewport().getBounds(), juce::Rectangle<int> (186, 151, 60, 80));
    EXPECT_EQ (o.getNamesViewport().getBounds(), juce::Rectangle<int> (186, 0, 172, 151));
    EXPECT_TRUE (o.getNamesViewport().isVisible());
    EXPECT_EQ (o.getHeaderMask()->getBounds(), juce::Rectangle<int> (0, 0, required + 60, 151));
    for (int i = 0; i < 2; ++i)
    {
        auto* row = o.getRows()[i];
        EXPECT_EQ (row->getY(), 156 + 40 * i);
        EXPECT_EQ (row->getHeight(), 30);
        EXPECT_EQ (row->getGridWidth(), 60);
        // The address starts right of the grid and its 20 px margin.
        EXPECT_EQ (row->getAddressLabel().getX(), 176 + 80);
    }

    o.getGridViewport().setViewPosition (30, 0);
    EXPECT_EQ (o.getGridScroller().getX(), -30);
    EXPECT_EQ (o.getNamesScroller().getX(), -30);
    o.getGridViewport().setViewPosition (0, 0);
    EXPECT_EQ (o.getNamesScroller().getX(), 0);
}

TEST_F (ClientOrganizerTest, NothingIsLaidOutBelowZeroWidthInANarrowPanel)
{
    startWithTwoServers();
    auto& o = build (1200);
    const auto required = o.getRows()[0]->getRequiredWidth();

    for (auto width : { 1, 100, 180, 200, required - 10, required + 1, 1200 })
    {
        SCOPED_TRACE (width);
        o.setSize (width, 400);
        EXPECT_GE (o.getGridViewport().getWidth(), 0);
        EXPECT_GE (o.getNamesViewport().getWidth(), 0);
        for (auto* row : o.getRows())
        {
            EXPECT_LE (row->getRight(), width) << "the row ends after its remove button";
            for (auto* child : row->getChildren())
            {
                EXPECT_GE (child->getWidth(), 0);
                EXPECT_GE (child->getHeight(), 0);
                if (child->getWidth() > 0)
                {
                    EXPECT_LE (child->getRight(), juce::jmax (width, 5 + child->getWidth()));
                }
            }
        }
    }
    EXPECT_EQ (o.getRows()[0]->getRemoveButton().getBounds(),
               juce::Rectangle<int> (o.getRows()[0]->getCopyButton().getRight() + 6, 4, 12, 22));
}

TEST_F (ClientOrganizerTest, WithoutServersTheNamesHideAndTheHeaderStaysMasked)
{
    startShow ({});
    auto& o = build (800);
    EXPECT_TRUE (o.getRows().isEmpty());
    EXPECT_FALSE (o.getNamesViewport().isVisible());
    // No row to measure: the grid may take up to 500 px, as wide as its (empty) scroller.
    EXPECT_EQ (o.getGridViewport().getBounds(), juce::Rectangle<int> (186, 151, 0, 0));
    ASSERT_NE (o.getHeaderMask(), nullptr);
    EXPECT_EQ (o.getHeaderMask()->getBounds(), juce::Rectangle<int> (0, 0, 800, 151));
    EXPECT_EQ (o.getContentHeight(), 30 + 141);
}
