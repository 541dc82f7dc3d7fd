#include "pages/DefaultsView.h"

#include "PagesFixture.h"
#include "pages/DefaultFpsComponent.h"
#include "support/TempHome.h"

namespace
{
using DefaultsViewTest = test::PagesFixture;

int storedFps (const juce::File& file)
{
    auto xml = juce::XmlDocument::parse (file);
    return xml != nullptr ? xml->getIntAttribute ("fps", -1) : -1;
}
}

TEST_F (DefaultsViewTest, ChoosingARateStoresItAsOneUndoStep)
{
    const auto file = home.getPreferencesFolder().getChildFile ("defaults.xml");
    DefaultsView view (controller.defaultsManager);
    view.setSize (800, 600);
    auto* fps = dynamic_cast<DefaultFpsComponent*> (view.getPanel().getContent());
    ASSERT_NE (fps, nullptr);
    auto& box = fps->getBox();
    EXPECT_EQ (view.getPanel().getTitleText(), "FPS");
    EXPECT_EQ (box.getText(), "30 FPS") << "a missing file starts at the fallback";

    box.setSelectedId (2, juce::sendNotificationSync); // "25 FPS", as a click on the item does
    EXPECT_EQ (controller.defaultsManager->getDefaultFps(), 25);
    EXPECT_EQ (storedFps (file), 25);
    EXPECT_EQ (undo.getUndoDescription(), "Set Default Fps");

    controller.undo();
    EXPECT_EQ (box.getText(), "30 FPS");
    EXPECT_EQ (storedFps (file), 30);
    EXPECT_FALSE (undo.canUndo()) << "one step";

    controller.redo();
    EXPECT_EQ (box.getText(), "25 FPS");
}

TEST_F (DefaultsViewTest, ThePanelKeepsItsSizeUpToTheHeight)
{
    DefaultsView view (controller.defaultsManager);
    const struct { int height, panelHeight; } cases[] = { { 50, 50 }, { 80, 80 }, { 600, 80 } };
    for (const auto& c : cases)
    {
        view.setSize (900, c.height);
        EXPECT_EQ (view.getPanel().getBounds(), juce::Rectangle<int> (0, 0, 300, c.panelHeight)) << c.height;
    }
    auto* fps = view.getPanel().getContent();
    fps->setSize (200, 30);
    EXPECT_EQ (fps->getChildComponent (0)->getBounds(), juce::Rectangle<int> (0, 0, 80, 30));
}
