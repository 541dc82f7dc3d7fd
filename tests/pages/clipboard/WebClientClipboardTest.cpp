#include "pages/WebClientsFixture.h"

#include "server/NetworkAdapterComboBox.h"
#include "support/XClipboard.h"

// What the web-client page puts on the clipboard, read back by another X program while the
// page's process answers as the clipboard's owner. The display's one clipboard is shared by
// every test on it, so these tests hold a lock of their own (tests/CMakeLists.txt).
namespace
{
struct WebClientClipboardTest : test::WebClientsFixture
{
    static juce::String host() { return NetworkAdapterComboBox::getLocalHostName(); }

    void chooseSummaryFromActionMenu (WebClientView& page)
    {
        auto& dropdown = page.getServersTab().actionDropdown;
        ASSERT_TRUE (dropdown.isVisible());
        // The menu closes itself while the application is not in front, which another test on
        // the display may bring about: it is driven before the message loop runs again.
        mouse().click (dropdown, { 10, 10 });
        auto* menu = test::CategoriesFixture::findMenuWindow();
        ASSERT_NE (menu, nullptr);
        menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
        menu->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
        ASSERT_TRUE (test::pumpUntil ([] { return test::CategoriesFixture::findMenuWindow() == nullptr; }));
    }
};
}

TEST_F (WebClientClipboardTest, AddMakesNewServerOnTheFirstPortAndTheSummaryCopiesItsAddress)
{
    startShow ({});
    auto& page = openPage();
    auto& organizer = page.getOrganizer();
    EXPECT_EQ (page.getNetworkTab().getBounds(), juce::Rectangle<int> (0, 0, 300, 80));
    EXPECT_EQ (page.getServersTab().getY(), 90);
    EXPECT_EQ (page.getServersTab().getTitleText(), "Webclients");
    EXPECT_EQ (page.getNetworkTab().getTitleText(), "Network Selection");
    EXPECT_FALSE (organizer.getNamesViewport().isVisible()) << "no rows, no names";
    ASSERT_NE (organizer.getHeaderMask(), nullptr);

    // Without servers the summary leaves the clipboard alone.
    juce::SystemClipboard::copyTextToClipboard ("before");
    chooseSummaryFromActionMenu (page);
    EXPECT_EQ (test::readClipboardWithXclip(), juce::String ("before"));

    auto& addButton = page.getServersTab().addButton;
    ASSERT_TRUE (addButton.isVisible());
    mouse().click (addButton, addButton.getLocalBounds().getCentre());
    auto& manager = *controller->serverManager;
    ASSERT_EQ (manager.getNumServers(), 1);
    auto server = manager.getServer (0);
    EXPECT_EQ (server->getName(), "New Server");
    EXPECT_EQ (AppData::getUndoManager()->getUndoDescription(), "Add Server");
    // Other tests may hold 3030 for a moment, moving the new server up; the end-to-end check of
    // this page, which runs alone, holds it to 3030 itself.
    EXPECT_GE (server->getPort(), ServerManager::firstPort);
    const auto address = host() + ":" + juce::String (server->getPort());

    ASSERT_TRUE (test::pumpUntil ([&] { return organizer.getRows().size() == 1; }));
    auto* row = organizer.getRows()[0];
    EXPECT_EQ (row->getComponentID(), server->getUuid());
    EXPECT_EQ (row->getNameLabel().getText(), "New Server");
    EXPECT_EQ (row->getAddressLabel().getText(), address);
    EXPECT_TRUE (organizer.getNamesViewport().isVisible());

    chooseSummaryFromActionMenu (page);
    EXPECT_EQ (test::readClipboardWithXclip(), "New Server - " + address);

    // The copy button copies the row's address alone.
    mouse().click (row->getCopyButton(), row->getCopyButton().getLocalBounds().getCentre());
    EXPECT_EQ (test::readClipboardWithXclip(), address);

    // A dismissed menu (item 0) copies nothing.
    juce::SystemClipboard::copyTextToClipboard ("kept");
    page.copyServerSummary (0);
    EXPECT_EQ (test::readClipboardWithXclip(), juce::String ("kept"));
}

TEST_F (WebClientClipboardTest, TheSummaryHasALinePerServerInOrder)
{
    startWithTwoServers();
    auto& page = openPage();
    page.copyServerSummary (WebClientView::copySummaryId);
    EXPECT_EQ (test::readClipboardWithXclip(),
               "A - " + host() + ":" + juce::String (portA) + "\nB - " + host() + ":" + juce::String (portB));
}

