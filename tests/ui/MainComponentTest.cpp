#include "ui/DesktopWindow.h"
#include "ui/MainComponent.h"
#include "ui/PeerInput.h"

#include "document/AppData.h"
#include "document/Identifiers.h"
#include "support/MessageLoop.h"
#include "support/TempHome.h"
#include <gtest/gtest.h>
#include "X11Probe.h"

namespace
{
/** A view that wants no keys except its own "a", which it reports and passes on. */
struct KeyView : juce::Component
{
    KeyView() { setSize (500, 400); }
    int aPresses = 0;
    bool keyPressed (const juce::KeyPress& key) override
    {
        aPresses += key == juce::KeyPress ('a') ? 1 : 0;
        return false;
    }
};

struct Fixture : ::testing::Test
{
    test::TempHome home;
    VantrelController controller;
    juce::UndoManager& undo = *AppData::getUndoManager();

    // One undoable change to the document, named after the step.
    void change (const juce::String& value)
    {
        undo.beginNewTransaction();
        controller.getAppData().getRoot().setProperty ("testValue", value, &undo);
    }
    juce::String value() { return controller.getAppData().getRoot()["testValue"].toString(); }
};

using MainComponentTest = Fixture;

juce::KeyPress key (int code, int mods) { return juce::KeyPress (code, juce::ModifierKeys (mods), 0); }
constexpr int ctrl = juce::ModifierKeys::ctrlModifier, shift = juce::ModifierKeys::shiftModifier,
              alt = juce::ModifierKeys::altModifier;

juce::String nativeTitle (juce::ComponentPeer& peer) { return test::nativeWindowTitle (peer.getNativeHandle()); }
}

TEST_F (MainComponentTest, StacksTheTitleBarAboveTheView)
{
    auto* view = new KeyView();
    MainComponent main (controller, view);
    EXPECT_EQ (main.getBounds(), juce::Rectangle<int> (0, 0, 500, 400));
    EXPECT_EQ (main.titleBar.getBounds(), juce::Rectangle<int> (0, 0, 500, 30));
    EXPECT_EQ (view->getBounds(), juce::Rectangle<int> (0, 30, 500, 370));
    EXPECT_EQ (main.titleBar.getName(), "Untitled Vantrel Document");

    main.setSize (200, 20);
    EXPECT_EQ (main.titleBar.getBounds(), juce::Rectangle<int> (0, 0, 200, 20));
    EXPECT_EQ (view->getBounds(), juce::Rectangle<int> (0, 20, 200, 0));
}

TEST_F (MainComponentTest, UndoKeysAreTheExactCombinations)
{
    MainComponent main (controller, new KeyView());
    change ("one");
    change ("two");

    struct Case { juce::KeyPress key; bool handled; const char* after; };
    const Case cases[] = {
        { key ('z', ctrl), true, "one" },
        { key ('Z', ctrl), true, "" },
        { key ('z', ctrl), true, "" },            // nothing left to undo: still consumed
        { key ('y', ctrl), true, "one" },
        { key ('z', ctrl | shift), true, "two" },
        { key ('y', ctrl | shift), false, "two" },
        { key ('z', alt), false, "two" },
        { key ('z', ctrl | alt), false, "two" },
        { key ('z', 0), false, "two" },
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ (main.keyPressed (c.key), c.handled) << c.key.getTextDescription();
        EXPECT_EQ (value(), c.after) << c.key.getTextDescription();
    }
}

TEST_F (MainComponentTest, ARealWindowSendsItsKeysToTheViewAndTheUndoKeys)
{
    auto* view = new KeyView();
    auto* main = new MainComponent (controller, view);
    DesktopWindow window (main);
    auto* peer = window.getPeer();
    ASSERT_NE (peer, nullptr);

    change ("one");
    change ("two");

    // The window manager activating the window: the focus must end up in the view.
    peer->handleFocusGain();
    EXPECT_TRUE (view->hasKeyboardFocus (true));

    EXPECT_FALSE (peer->handleKeyPress (juce::KeyPress ('a')));
    EXPECT_EQ (view->aPresses, 1);
    EXPECT_TRUE (peer->handleKeyPress (key ('z', ctrl)));
    EXPECT_EQ (value(), "one");

    // A click on the title bar keeps the keys working.
    test::PeerMouse mouse (window);
    mouse.click (main->titleBar, { 200, 15 });
    EXPECT_TRUE (view->hasKeyboardFocus (true));
    EXPECT_TRUE (peer->handleKeyPress (key ('y', ctrl)));
    EXPECT_EQ (value(), "two");
}

TEST_F (MainComponentTest, DocumentChangesRetitleBarAndNativeWindow)
{
    auto* main = new MainComponent (controller, new KeyView());
    DesktopWindow window (main);
    auto* peer = window.getPeer();
    ASSERT_NE (peer, nullptr);

    controller.saveDocumentAs ("Gala");
    EXPECT_EQ (main->titleBar.getName(), "Gala");
    EXPECT_TRUE (test::pumpUntil ([&] { return nativeTitle (*peer) == "Gala - Vantrel"; }))
        << nativeTitle (*peer);
    EXPECT_EQ (window.getName(), "");

    controller.newDocument();
    EXPECT_EQ (main->titleBar.getName(), "Untitled Vantrel Document");
}

TEST_F (MainComponentTest, TheViewIsDeletedWithTheWindow)
{
    juce::Component::SafePointer<juce::Component> view (new KeyView());
    {
        DesktopWindow window (new MainComponent (controller, view.getComponent()));
        EXPECT_TRUE (window.isVisible());
        EXPECT_EQ (window.getTitleBarHeight(), 0);
        EXPECT_EQ (window.getContentComponent()->getHeight(), 400);
    }
    EXPECT_EQ (view.getComponent(), nullptr);
    controller.newDocument();  // no listener left behind
}
