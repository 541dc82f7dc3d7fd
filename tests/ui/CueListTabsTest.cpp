#include "CueViewFixture.h"
#include "PeerInput.h"
#include "document/AppData.h"
#include "model/CategoryManager.h"
#include "ui/CueDrawing.h"
#include "ui/CueListTabs.h"

namespace
{
class CueListTabsTest : public test::GuiFixture
{
protected:
    std::unique_ptr<AppData> appData = std::make_unique<AppData>();
    juce::ValueTree node { IDs::CueLists };
    std::shared_ptr<CueListManager> manager;
    std::shared_ptr<ActiveCueListHandler> handler;
    std::vector<std::shared_ptr<CueList>> lists;
    std::unique_ptr<CueListTabs> tabs;
    juce::Component window;

    CueListTabsTest()
    {
        for (auto* name : { "Opening Night", "Second Act", "Grand Finale" })
        {
            auto list = test::makeCueList ({ { 1, "A", 1000, 0, 0xffcc3333 } });
            list->getTree().setProperty (IDs::name, name, nullptr);
            node.appendChild (list->getTree(), nullptr);
        }
        manager = std::make_shared<CueListManager> (node, std::make_shared<CategoryManager>());
        handler = std::make_shared<ActiveCueListHandler> (manager);
        EXPECT_TRUE (test::pumpUntil ([&] { return manager->getCueLists().size() == 3 && handler->getActiveCueList() != nullptr; }));
        lists = manager->getCueLists();

        tabs = std::make_unique<CueListTabs> (manager, *handler);
        window.setSize (300, 100);
        window.addAndMakeVisible (*tabs);
        tabs->setBounds (10, 10, 250, 27);
    }

    ~CueListTabsTest() override
    {
        tabs.reset();
        handler.reset();
        manager.reset();
    }

    void showWindow()
    {
        window.addToDesktop (0);
        window.setVisible (true);
    }

    /** A point of the tab in the tabs' own coordinates, as the strip lies now. */
    juce::Point<int> on (int index, int dx = 12)
    {
        return tabs->getLocalPoint (tabs->getTab (index), juce::Point<int> (dx, 13));
    }

    std::vector<bool> toggles() const
    {
        std::vector<bool> on;
        for (int i = 0; i < tabs->getNumTabs(); ++i)
            on.push_back (tabs->getTab (i)->getToggleState());
        return on;
    }
};

int maxAlpha (const juce::Image& image, int rows)
{
    int alpha = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            alpha = juce::jmax (alpha, (int) image.getPixelAt (x, y).getAlpha());
    return alpha;
}
}

TEST_F (CueListTabsTest, TabsInListOrderWithTheLiveOneUnderlined)
{
    ASSERT_EQ (tabs->getNumTabs(), 3);
    for (int i = 0; i < 3; ++i)
    {
        auto* tab = tabs->getTab (i);
        EXPECT_EQ (tab->getButtonText(), lists[(size_t) i]->getName());
        EXPECT_EQ (tab->getComponentID(), lists[(size_t) i]->getUuid());
        EXPECT_EQ (tab->getName(), "TabButton");
        EXPECT_EQ (tab->getWidth(), (int) (1.1f * getTextBounds (TabButton::fontFor (27), tab->getButtonText()).getWidth()));
        EXPECT_EQ (tab->getHeight(), 27);
    }
    EXPECT_EQ (tabs->getTab (1)->getX(), tabs->getTab (0)->getRight() + 15);
    EXPECT_EQ (tabs->getTab (2)->getX(), tabs->getTab (1)->getRight() + 15);
    EXPECT_EQ (tabs->getStrip().getWidth(), tabs->getTab (2)->getRight());
    EXPECT_EQ (toggles(), (std::vector<bool> { true, false, false }));

    handler->setActiveCueList (lists[1]);
    EXPECT_EQ (toggles(), (std::vector<bool> { false, true, false }));

    auto* live = tabs->getTab (1);
    const auto onImage = live->createComponentSnapshot (live->getLocalBounds(), false);
    const auto accent = lookAndFeel.findColour (juce::TextButton::buttonOnColourId);
    for (int y : { 24, 26 })
        EXPECT_EQ (onImage.getPixelAt (live->getWidth() / 2, y), accent) << y;
    EXPECT_GE (maxAlpha (onImage, 23), 0xf0); // white text

    auto* off = tabs->getTab (0);
    const auto offImage = off->createComponentSnapshot (off->getLocalBounds(), false);
    EXPECT_TRUE (offImage.getPixelAt (off->getWidth() / 2, 26).isTransparent());
    const auto offAlpha = maxAlpha (offImage, 27);
    EXPECT_GE (offAlpha, 0x50);
    EXPECT_LE (offAlpha, 0x5a); // text at 0x59ffffff
}

TEST_F (CueListTabsTest, ClicksSelectAndDragsOverTenPixelsAreSwallowed)
{
    showWindow();
    test::PeerMouse mouse (window);
    auto drag = [&] (juce::Point<int> from, juce::Point<int> by)
    {
        ASSERT_TRUE (tabs->getLocalBounds().contains (from));
        mouse.moveTo (*tabs, from);
        mouse.press (*tabs, from);
        mouse.dragTo (*tabs, from + by);
        mouse.release (*tabs, from + by);
    };
    // Peer events leave the display's pointer where it is, and a button asks the pointer
    // whether a drag still lies over it: the click that a release on the tab makes on a real
    // screen is made here by hand.
    auto clickAfterDrag = [&] (int index)
    {
        const auto before = handler->getActiveCueList();
        const auto swallowed = tabs->wasDragged();
        tabs->getTab (index)->triggerClick();
        return test::pumpUntil ([&] { return swallowed ? ! tabs->wasDragged() : handler->getActiveCueList() != before; });
    };
    ASSERT_EQ (handler->getActiveCueList(), lists[0]);

    // 11 px: the strip scrolls; the click that ends it changes nothing and clears the flag.
    drag (on (1), { -11, 0 });
    EXPECT_GT (tabs->getViewport().getViewPositionX(), 0);
    EXPECT_TRUE (tabs->wasDragged());
    ASSERT_TRUE (clickAfterDrag (1));
    EXPECT_EQ (handler->getActiveCueList(), lists[0]);
    EXPECT_FALSE (tabs->wasDragged());

    // 10 px: still a click.
    drag (on (1), { 6, 8 });
    EXPECT_FALSE (tabs->wasDragged());
    ASSERT_TRUE (clickAfterDrag (1));
    EXPECT_EQ (handler->getActiveCueList(), lists[1]);

    // A long drag that ends off the tabs leaves the flag: the next click only clears it.
    drag (on (1), { 0, 60 });
    EXPECT_TRUE (tabs->wasDragged());
    EXPECT_EQ (handler->getActiveCueList(), lists[1]);

    // Where the strip lies after the drags depends on the shared display's pointer: bring the
    // third tab into view so the clicks land on it (the flag is the strip's, not the view's).
    tabs->getViewport().setViewPosition (tabs->getTab (2)->getX(), 0);
    ASSERT_TRUE (tabs->getLocalBounds().contains (on (2)));
    mouse.click (*tabs, on (2));
    EXPECT_EQ (handler->getActiveCueList(), lists[1]);
    EXPECT_FALSE (tabs->wasDragged());
    mouse.click (*tabs, on (2));
    EXPECT_EQ (handler->getActiveCueList(), lists[2]);
}

TEST_F (CueListTabsTest, TheLiveTabScrollsIntoViewAsFarAsTheStripAllows)
{
    const auto stripWidth = tabs->getStrip().getWidth();
    ASSERT_GT (stripWidth, tabs->getWidth());

    handler->setActiveCueList (lists[2]);
    EXPECT_EQ (tabs->getViewport().getViewPositionX(), juce::jmin (tabs->getTab (2)->getX(), stripWidth - tabs->getWidth()));

    handler->setActiveCueList (lists[0]);
    EXPECT_EQ (tabs->getViewport().getViewPositionX(), 0);

    // Wide enough for everything: nothing to scroll.
    tabs->setSize (stripWidth + 50, 27);
    handler->setActiveCueList (lists[2]);
    EXPECT_EQ (tabs->getViewport().getViewPositionX(), 0);
}

TEST_F (CueListTabsTest, TabsFollowRenamesAndDeletions)
{
    const auto oldWidth = tabs->getTab (0)->getWidth();
    lists[0]->getTree().setProperty (IDs::name, "O", nullptr);
    EXPECT_EQ (tabs->getTab (0)->getButtonText(), "O");
    EXPECT_LT (tabs->getTab (0)->getWidth(), oldWidth);
    EXPECT_EQ (tabs->getTab (1)->getX(), tabs->getTab (0)->getRight() + 15);

    // Deleting the second of three: the last tab object goes, the others take lists 1 and 3.
    auto* firstTab = tabs->getTab (0);
    auto* secondTab = tabs->getTab (1);
    node.removeChild (lists[1]->getTree(), nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return tabs->getNumTabs() == 2; }));
    EXPECT_EQ (tabs->getTab (0), firstTab);
    EXPECT_EQ (tabs->getTab (1), secondTab);
    EXPECT_EQ (tabs->getTab (0)->getCueList(), lists[0]);
    EXPECT_EQ (tabs->getTab (1)->getCueList(), lists[2]);
    EXPECT_EQ (tabs->getTab (1)->getButtonText(), "Grand Finale");

    node.removeAllChildren (nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return tabs->getNumTabs() == 0; }));
    EXPECT_EQ (tabs->getStrip().getWidth(), 0);
}
