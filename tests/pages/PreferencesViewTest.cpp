#include "pages/PreferencesView.h"

#include "PagesFixture.h"
#include "pages/CategoryView.h"
#include "pages/CreditsComponent.h"
#include "pages/DefaultsView.h"
#include "pages/ProjectView.h"
#include "pages/TimetableEditorView.h"
#include "pages/WebClientView.h"
#include "ui/kit/HeaderTab.h"

namespace
{
using PreferencesViewTest = test::PagesFixture;

enum Entry { project, timetable, categories, webClients, defaults, audio, update };

// Clicks as the framework delivers them (later, through the message loop) and waits for it.
void press (juce::Button& button)
{
    struct Clicked : juce::Button::Listener
    {
        bool done = false;
        void buttonClicked (juce::Button*) override { done = true; }
    } clicked;
    button.addListener (&clicked);
    button.triggerClick();
    EXPECT_TRUE (test::pumpUntil ([&clicked] { return clicked.done; }));
    button.removeListener (&clicked);
}

std::vector<int> toggled (PreferencesView& view)
{
    std::vector<int> result;
    for (int i = 0; i < view.getSideBarButtons().size(); ++i)
        if (view.getSideBarButtons()[i]->getToggleState())
            result.push_back (i);
    if (view.getHeartButton().getToggleState())
        result.push_back (-1);
    return result;
}
}

TEST_F (PreferencesViewTest, OpensOnTheProjectPageOnceTheMessageLoopRuns)
{
    PreferencesView view (controller);
    EXPECT_EQ (view.getBounds(), juce::Rectangle<int> (0, 0, 1366, 768));
    EXPECT_EQ (view.getPage(), nullptr) << "the first page comes with the first click, delivered later";
    EXPECT_EQ (view.getSelectedButton(), nullptr);
    EXPECT_TRUE (toggled (view).empty());

    ASSERT_TRUE (test::pumpUntil ([&] { return view.getPage() != nullptr; }));
    EXPECT_NE (dynamic_cast<ProjectView*> (view.getPage()), nullptr);
    EXPECT_EQ (view.getSelectedButton(), view.getSideBarButtons()[project]);
    EXPECT_EQ (toggled (view), std::vector<int> { project });
    EXPECT_EQ (view.getContentArea(), juce::Rectangle<int> (174, 10, 1182, 748));
    EXPECT_EQ (view.getPage()->getBounds(), juce::Rectangle<int> (0, 0, 1182, 748));

    const char* titles[] = { "PROJECT", "TIMETABLE", "CATEGORIES", "WEBCLIENTS", "DEFAULTS", "AUDIO", "UPDATE" };
    ASSERT_EQ (view.getSideBarButtons().size(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ (view.getSideBarButtons()[i]->getButtonText(), titles[i]);
}

TEST_F (PreferencesViewTest, AViewGoneBeforeItsFirstClickArrivesIsLeftAlone)
{
    int changes = 0;
    struct Counter : VantrelController::Listener
    {
        int& n;
        explicit Counter (int& count) : n (count) {}
        void documentChanged() override { ++n; }
    } counter (changes);
    controller.addListener (&counter);

    auto view = std::make_unique<PreferencesView> (controller);
    view.reset();
    test::pumpFor (100);
    controller.newDocument(); // a page that had been built would still be registered here
    EXPECT_EQ (changes, 1);
    controller.removeListener (&counter);
}

TEST_F (PreferencesViewTest, TheSideBarShrinksWithTheView)
{
    PreferencesView view (controller);
    const auto& buttons = view.getSideBarButtons();

    view.setSize (1366, 200);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (buttons[i]->getBounds(), juce::Rectangle<int> (0, 40 * i + 5, 164, 30)) << i;
    EXPECT_EQ (buttons[5]->getHeight(), 0);
    EXPECT_EQ (buttons[6]->getHeight(), 0);
    for (int i = 1; i < 7; ++i)
        EXPECT_GE (buttons[i]->getY(), buttons[i - 1]->getBottom()) << "buttons never overlap";
    EXPECT_EQ (view.getHeartButton().getBounds(), juce::Rectangle<int> (10, 180, 10, 10));

    view.setSize (100, 400);
    EXPECT_EQ (buttons[0]->getWidth(), 100);
    EXPECT_EQ (view.getContentArea().getWidth(), 0);

    // The side bar has no room left: nothing is negative.
    view.setSize (0, 0);
    for (auto* b : buttons)
        EXPECT_TRUE (b->getBounds().getWidth() == 0 && b->getHeight() == 0);
    EXPECT_EQ (view.getContentArea(), juce::Rectangle<int> (10, 10, 0, 0));
}

TEST_F (PreferencesViewTest, EachPressBuildsItsPageAfreshAndMovesTheMark)
{
    PreferencesView view (controller);
    ASSERT_TRUE (test::pumpUntil ([&] { return view.getPage() != nullptr; }));
    const auto& buttons = view.getSideBarButtons();

    juce::Component::SafePointer<juce::Component> first (view.getPage());
    press (*buttons[project]);
    EXPECT_EQ (first.getComponent(), nullptr) << "pressing the selected entry rebuilds its page";
    EXPECT_NE (dynamic_cast<ProjectView*> (view.getPage()), nullptr);

    press (*buttons[defaults]);
    EXPECT_NE (dynamic_cast<DefaultsView*> (view.getPage()), nullptr);
    EXPECT_EQ (view.getPage()->getBounds(), view.getContentArea().withZeroOrigin());
    EXPECT_EQ (toggled (view), std::vector<int> { defaults });
    EXPECT_EQ (view.getPage()->getParentComponent()->getNumChildComponents(), 1);

    press (*buttons[categories]);
    EXPECT_NE (dynamic_cast<CategoryView*> (view.getPage()), nullptr);
    EXPECT_EQ (view.getPage()->getBounds(), view.getContentArea().withZeroOrigin());

    press (*buttons[timetable]);
    EXPECT_NE (dynamic_cast<TimetableEditorView*> (view.getPage()), nullptr);
    EXPECT_EQ (view.getPage()->getBounds(), view.getContentArea().withZeroOrigin());

    press (*buttons[webClients]);
    EXPECT_NE (dynamic_cast<WebClientView*> (view.getPage()), nullptr);
    EXPECT_EQ (view.getPage()->getBounds(), view.getContentArea().withZeroOrigin());
    EXPECT_EQ (toggled (view), std::vector<int> { webClients });

    press (view.getHeartButton());
    auto* credits = dynamic_cast<HeaderTab*> (view.getPage());
    ASSERT_NE (credits, nullptr);
    EXPECT_EQ (credits->getTitleText(), "Credits");
    EXPECT_NE (dynamic_cast<CreditsComponent*> (credits->getContent()), nullptr);
    EXPECT_EQ (credits->getBounds(), juce::Rectangle<int> (0, 0, 600, 300));
    EXPECT_EQ (toggled (view), std::vector<int> { -1 });

    press (*buttons[project]);
    EXPECT_EQ (toggled (view), std::vector<int> { project }) << "the heart is released by the next press";
}

TEST_F (PreferencesViewTest, SmallPanelsStartAtTheirSizeAndFillTheAreaAfterAResize)
{
    PreferencesView view (controller);
    const struct
    {
        Entry entry;
        const char* title;
        int width, height;
    } cases[] = { { audio, "Audio", 900, 278 }, { update, "Update", 400, 100 } };

    for (const auto& c : cases)
    {
        press (*view.getSideBarButtons()[c.entry]);
        auto* panel = dynamic_cast<HeaderTab*> (view.getPage());
        ASSERT_NE (panel, nullptr) << c.title;
        EXPECT_EQ (panel->getTitleText(), c.title);
        EXPECT_EQ (panel->getBounds(), juce::Rectangle<int> (0, 0, c.width, c.height));
        EXPECT_NE (panel->getContent(), nullptr) << c.title << " holds its panel";

        view.setSize (1200, 700);
        EXPECT_EQ (panel->getBounds(), juce::Rectangle<int> (0, 0, 1016, 680));
        view.setSize (1366, 768);
    }
}

TEST (CreditsComponent, LogosShareARowOnTheLeftHalf)
{
    CreditsComponent credits;
    credits.setSize (588, 252);
    ASSERT_EQ (credits.getNumChildComponents(), 2);
    auto* first = credits.getChildComponent (0);
    auto* second = credits.getChildComponent (1);
    EXPECT_EQ (second->getBounds(), juce::Rectangle<int> (0, 70, 147, 50)) << "the second logo comes first";
    EXPECT_EQ (first->getBounds(), juce::Rectangle<int> (147, 70, 147, 50));
    EXPECT_EQ (first->getName(), "Logo");

    credits.setSize (100, 15);
    EXPECT_GE (first->getHeight(), 0);
}
