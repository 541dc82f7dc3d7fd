#include "pages/WebClientView.h"

#include "BinaryData.h"
#include "pages/ClientOrganizer.h"
#include "server/NetworkAdapterComboBox.h"
#include "server/ServerManager.h"
#include "ui/kit/ResizableViewport.h"

WebClientView::WebClientView (std::shared_ptr<ServerManager> servers, std::shared_ptr<CategoryManager> categories)
    : serverManager (std::move (servers))
{
    auto* viewport = new ResizableViewport();
    organizer = new ClientOrganizer (serverManager, std::move (categories));
    viewport->setViewedComponent (organizer, true);
    serversTab.setContent (viewport);
    serversTab.setName ("Webclients");
    serversTab.setIcon (BinaryData::WebClients_svg, (size_t) BinaryData::WebClients_svgSize);
    addAndMakeVisible (serversTab);

    adapterBox = new NetworkAdapterComboBox();
    networkTab.setContent (adapterBox);
    adapterBox->onAddressChosen = [this] { serverManager->setNetworkAddress (adapterBox->getSelectedAddress()); };
    // Shows the stored address; its notification sets the same address again, which changes nothing.
    adapterBox->setSelectedAddress (serverManager->getNetworkAddress());
    networkTab.setName ("Network Selection");
    networkTab.setIcon (BinaryData::WebClients_svg, (size_t) BinaryData::WebClients_svgSize);
    addAndMakeVisible (networkTab);

    serversTab.onAdd = [manager = serverManager] { manager->addServer(); };

    juce::PopupMenu menu;
    menu.addItem (copySummaryId, "Copy Server Summary", true, false);
    serversTab.actionDropdown.setMenu (std::move (menu));
    serversTab.actionDropdown.onItemChosen = [this] (int id) { copyServerSummary (id); };
}

void WebClientView::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff000000));
}

void WebClientView::resized()
{
    const auto w = getWidth(), h = getHeight();
    const auto networkHeight = juce::jmin (h, 80);
    networkTab.setBounds (0, 0, 300, networkHeight);
    const auto top = networkHeight + juce::jmin (h - networkHeight, 10);
    serversTab.setBounds (0, top, w, h - top);
}

void WebClientView::copyServerSummary (int menuItemId)
{
    if (menuItemId == 0 || serverManager->getNumServers() == 0)
        return;

    juce::StringArray lines;
    for (int i = 0; i < serverManager->getNumServers(); ++i)
    {
        auto server = serverManager->getServer (i);
        if (server == nullptr)
            continue;
        auto host = server->getBindAddress();
        if (host == "0.0.0.0")
            host = NetworkAdapterComboBox::getLocalHostName();
        lines.add (server->getName() + " - " + host + ":" + juce::String (server->getPort()));
    }
    juce::SystemClipboard::copyTextToClipboard (lines.joinIntoString ("\n"));
}
