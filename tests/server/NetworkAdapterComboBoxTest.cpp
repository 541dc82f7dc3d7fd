#include "platform/Platform.h"
#include "server/NetworkAdapterComboBox.h"
#include "support/MessageLoop.h"

#include <gtest/gtest.h>

TEST (NetworkAdapters, BindableAddresses)
{
    const auto withAny = NetworkAdapterComboBox::getBindableAddresses (true, false);
    EXPECT_FALSE (withAny.contains ("127.0.0.1"));
    if (! withAny.isEmpty())
    {
        EXPECT_EQ (withAny[0], "0.0.0.0");
    }

    const auto withLoopback = NetworkAdapterComboBox::getBindableAddresses (false, true);
    EXPECT_TRUE (withLoopback.contains ("127.0.0.1"));
    EXPECT_FALSE (withLoopback.contains ("0.0.0.0"));
}

TEST (NetworkAdapters, Names)
{
    EXPECT_EQ (NetworkAdapterComboBox::getAdapterName ("0.0.0.0"), "Any network");
    EXPECT_EQ (NetworkAdapterComboBox::getAdapterName ("127.0.0.1"), "This computer");
    EXPECT_EQ (NetworkAdapterComboBox::getAdapterName ("192.0.2.77"), "No interface found for IP");
    for (const auto& adapter : Platform::getIPv4Adapters())
    {
        if (adapter.firstIPv4Address != "127.0.0.1")
        {
            EXPECT_EQ (NetworkAdapterComboBox::getAdapterName (adapter.firstIPv4Address), adapter.friendlyName);
        }
    }
    EXPECT_TRUE (NetworkAdapterComboBox::getLocalHostName().endsWith (".local"));
}

TEST (NetworkAdapterComboBox, EntriesAndSelection)
{
    NetworkAdapterComboBox box;
    int chosen = 0;
    box.onAddressChosen = [&] { ++chosen; };
    const auto addresses = NetworkAdapterComboBox::getBindableAddresses (true, false);

    ASSERT_EQ (box.getNumItems(), addresses.size() + 1);
    EXPECT_EQ (box.getItemText (box.getNumItems() - 1), "Refresh");
    for (int i = 0; i < addresses.size(); ++i)
    {
        EXPECT_EQ (box.getItemId (i), i + 1);
        EXPECT_EQ (box.getItemText (i), NetworkAdapterComboBox::getAdapterName (addresses[i]));
    }

    if (addresses.isEmpty())
    {
        test::pumpFor (100);
        EXPECT_EQ (chosen, 0) << "nothing bindable: no address is chosen";
        EXPECT_EQ (box.getNumItems(), 1);
    }
    else
    {
        // The first entry is chosen for the page, asynchronously.
        ASSERT_TRUE (test::pumpUntil ([&] { return chosen == 1; }));
        EXPECT_EQ (box.getSelectedAddress(), "0.0.0.0");
    }

    box.setSelectedAddress ("192.0.2.77");
    EXPECT_EQ (box.getSelectedAddress(), "192.0.2.77") << "an address without an entry is shown as itself";
}

TEST (NetworkAdapterComboBox, RefreshShowsTheEntryLastSetByThePage)
{
    if (NetworkAdapterComboBox::getBindableAddresses (true, false).isEmpty())
        GTEST_SKIP() << "no bindable network address on this machine";

    NetworkAdapterComboBox box;
    int chosen = 0;
    box.onAddressChosen = [&] { ++chosen; };
    ASSERT_TRUE (test::pumpUntil ([&] { return chosen == 1; }));

    box.setSelectedAddress ("0.0.0.0");
    test::pumpFor (50);
    chosen = 0;
    box.setSelectedId (box.getItemId (box.getNumItems() - 1), juce::sendNotificationSync); // "Refresh"
    test::pumpFor (100);
    EXPECT_EQ (box.getText(), "Any network");
    EXPECT_EQ (chosen, 0) << "a refresh that restores the page's entry tells nobody";
}
