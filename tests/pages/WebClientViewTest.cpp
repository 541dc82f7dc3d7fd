#include "WebClientsFixture.h"

#include "support/QrDecode.h"

// The web-client page in the preferences window as the application builds it, driven through
// the native window, with real browsers (WebSocket clients) on the servers' ports and the QR
// codes read by a real QR reader.
namespace
{
struct WebClientViewTest : test::WebClientsFixture
{
    /** The cue numbers of a "cuelist" message. */
    static juce::StringArray cueNumbers (const std::string& message)
    {
        const auto json = juce::JSON::parse (juce::String::fromUTF8 (message.data(), (int) message.size()));
        juce::StringArray numbers;
        if (auto* cues = json["cues"].getArray())
            for (const auto& cue : *cues)
                numbers.add (cue["number"].toString());
        return numbers;
    }
};
}

TEST_F (WebClientViewTest, TurningOffAToggleHidesThoseCuesFromThatServersBrowsersOnly)
{
    startWithTwoServers();
    ASSERT_TRUE (waitForServing (0)->isServing());
    ASSERT_TRUE (waitForServing (1)->isServing());
    test::RawClient browserA, browserB;
    const auto greetingA = connectAndReadGreeting (browserA, portA);
    const auto greetingB = connectAndReadGreeting (browserB, portB);
    ASSERT_EQ (greetingA.size(), 4u);
    ASSERT_EQ (greetingB.size(), 4u);
    EXPECT_EQ (cueNumbers (greetingA[0]), juce::StringArray ({ "1", "2", "3", "4" }));

    auto& page = openPage();
    auto& strips = page.getOrganizer().getGridScroller().getStrips();
    ASSERT_EQ (strips.size(), 2);
    auto* audioToggleOfA = strips[0]->getButtons()[0];
    ASSERT_EQ (audioToggleOfA->findColour (juce::TextButton::buttonColourId).getARGB(), audio);

    mouse().click (*audioToggleOfA, { 12, 12 });
    auto serverA = controller->serverManager->getServer (0);
    auto serverB = controller->serverManager->getServer (1);
    EXPECT_EQ (masked (serverA), juce::StringArray ({ "ff3fb6dc" }));
    EXPECT_FALSE (audioToggleOfA->getToggleState());
    EXPECT_EQ (AppData::getUndoManager()->getUndoDescription(), "Set Color Mask");

    auto update = nextText (browserA);
    ASSERT_TRUE (update.has_value());
    EXPECT_EQ (typeOf (*update), "cuelist");
    EXPECT_EQ (cueNumbers (*update), juce::StringArray ({ "2", "3" }));

    EXPECT_TRUE (masked (serverB).isEmpty());
    for (auto* toggle : strips[1]->getButtons())
        EXPECT_TRUE (toggle->getToggleState());
    EXPECT_FALSE (nextText (browserB, 1500).has_value()) << "B's browsers were sent something";

    EXPECT_TRUE (pressControlZ());
    EXPECT_TRUE (masked (serverA).isEmpty());
    EXPECT_TRUE (audioToggleOfA->getToggleState());
    update = nextText (browserA);
    ASSERT_TRUE (update.has_value());
    EXPECT_EQ (cueNumbers (*update), juce::StringArray ({ "1", "2", "3", "4" }));
}

TEST_F (WebClientViewTest, ARemoveButtonOutlivesItsOwnClickAndUndoBringsTheServerBack)
{
    startWithTwoServers();
    auto& page = openPage();
    auto& organizer = page.getOrganizer();
    ASSERT_EQ (organizer.getRows().size(), 2);
    juce::Component::SafePointer<ServerComponent> rowA (organizer.getRows()[0]);
    auto& remove = rowA->getRemoveButton();

    mouse().click (remove, remove.getLocalBounds().getCentre());
    EXPECT_EQ (controller->serverManager->getNumServers(), 1);
    EXPECT_EQ (AppData::getUndoManager()->getUndoDescription(), "Delete Server");
    EXPECT_NE (rowA.getComponent(), nullptr) << "the row went inside its button's click";

    ASSERT_TRUE (test::pumpUntil ([&] { return rowA == nullptr; }));
    ASSERT_EQ (organizer.getRows().size(), 1);
    EXPECT_EQ (organizer.getRows()[0]->getNameLabel().getText(), "B");
    EXPECT_EQ (organizer.getGridScroller().getStrips().size(), 1);

    EXPECT_TRUE (pressControlZ());
    ASSERT_EQ (controller->serverManager->getNumServers(), 2);
    ASSERT_TRUE (test::pumpUntil ([&] { return organizer.getRows().size() == 2; }));
    juce::StringArray names;
    for (auto* row : organizer.getRows())
        names.add (row->getNameLabel().getText());
    EXPECT_EQ (names.size(), 2);
    EXPECT_TRUE (names.contains ("A") && names.contains ("B")) << names.joinIntoString (",");
}

TEST_F (WebClientViewTest, TheQrPopUpShowsTheAddressAndStaysWholeWhileItsRowIsRebuilt)
{
    startWithTwoServers();
    auto& page = openPage();
    auto& organizer = page.getOrganizer();
    juce::Component::SafePointer<ServerComponent> row (organizer.getRows()[0]);
    const auto expected = "http://" + row->getAddressLabel().getText();

    // The pop-up closes itself when the application loses the focus, which other tests on the
    // same display may take: from the click on, the message loop does not run.
    mouse().click (row->getQrButton(), row->getQrButton().getLocalBounds().getCentre());
    auto* menu = test::CategoriesFixture::findMenuWindow();
    ASSERT_NE (menu, nullptr);
    ASSERT_NE (row->getQrItem(), nullptr);
    juce::Component::SafePointer<juce::ImageComponent> shown (&row->getQrItem()->getImageComponent());
    EXPECT_TRUE (menu->isParentOf (shown));
    EXPECT_GE (shown->getWidth(), 400);
    EXPECT_EQ (shown->getImage().getWidth(), expected.length() <= 26 ? 396 : 370);
    EXPECT_EQ (test::decodeQr (menu->createComponentSnapshot (menu->getLocalBounds())), expected);

    // Every row goes when the servers change.
    controller->serverManager->deleteServer (controller->serverManager->getServer (1)->getUuid());
    organizer.rebuild();
    EXPECT_EQ (row.getComponent(), nullptr);
    ASSERT_NE (shown.getComponent(), nullptr) << "the image of the open pop-up was deleted";
    ASSERT_EQ (test::CategoriesFixture::findMenuWindow(), menu);
    EXPECT_EQ (test::decodeQr (menu->createComponentSnapshot (menu->getLocalBounds())), expected);

    juce::PopupMenu::dismissAllActiveMenus();
    EXPECT_TRUE (test::pumpUntil ([&] { return shown == nullptr; })) << "the image goes with the pop-up";
}

TEST_F (WebClientViewTest, RenamingAServerInItsRowAndUndoing)
{
    startWithTwoServers();
    ASSERT_TRUE (waitForServing (1)->isServing());
    auto& page = openPage();
    auto* row = page.getOrganizer().getRows()[1];
    auto& label = row->getNameLabel();

    mouse().click (label, { 20, 10 });
    auto* editor = label.getCurrentTextEditor();
    ASSERT_NE (editor, nullptr) << "a single click edits the name";
    ASSERT_TRUE (editor->hasKeyboardFocus (false));
    editor->selectAll();
    for (auto c : juce::String ("Stage"))
        window->getPeer()->handleKeyPress (juce::KeyPress ((int) c, {}, c));
    window->getPeer()->handleKeyPress (juce::KeyPress (juce::KeyPress::returnKey));

    auto server = controller->serverManager->getServer (1);
    ASSERT_TRUE (test::pumpUntil ([&] { return server->getName() == "Stage"; })) << server->getName();
    EXPECT_EQ (AppData::getUndoManager()->getUndoDescription(), "Set Server Name");
    EXPECT_TRUE (pressControlZ());
    EXPECT_EQ (server->getName(), "B");
    EXPECT_EQ (label.getText(), "B");
}
