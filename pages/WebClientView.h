#pragma once

#include "ui/kit/HeaderTab.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class CategoryManager;
class ClientOrganizer;
class NetworkAdapterComboBox;
class ServerManager;

/** The web-client page: "Network Selection" picks the address every server listens on, and
    "Webclients" lists the servers, adds one on the next free port and copies a summary of
    all their addresses. */
class WebClientView : public juce::Component
{
public:
    WebClientView (std::shared_ptr<ServerManager> serverManager, std::shared_ptr<CategoryManager> categoryManager);

    void paint (juce::Graphics& g) override;
    void resized() override;

    /** Item 1 of the action menu: one line "name - host:port" per server to the clipboard. */
    void copyServerSummary (int menuItemId);

    HeaderTab& getServersTab() { return serversTab; }
    HeaderTab& getNetworkTab() { return networkTab; }
    ClientOrganizer& getOrganizer() { return *organizer; }
    NetworkAdapterComboBox& getAdapterBox() { return *adapterBox; }

    static constexpr int copySummaryId = 1;

private:
    HeaderTab serversTab;
    HeaderTab networkTab;
    std::shared_ptr<ServerManager> serverManager;
    ClientOrganizer* organizer = nullptr;
    NetworkAdapterComboBox* adapterBox = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WebClientView)
};
