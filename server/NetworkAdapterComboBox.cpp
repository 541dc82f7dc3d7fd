#include "server/NetworkAdapterComboBox.h"

#include "platform/Platform.h"

namespace
{
const juce::String noNetworks { "No networks available..." };
}

NetworkAdapterComboBox::NetworkAdapterComboBox()
{
    refresh();
    setTextWhenNoChoicesAvailable (noNetworks);

    onChange = [this]
    {
        if (getSelectedItemIndex() + 1 == getNumItems() && getNumItems() > 0)
            refresh();
        else if (onAddressChosen)
            onAddressChosen();
    };
}

juce::StringArray NetworkAdapterComboBox::getBindableAddresses (bool withAny, bool withLoopback)
{
    juce::StringArray result;
    juce::Array<juce::IPAddress> addresses;
    juce::IPAddress::findAllAddresses (addresses, false);

    for (const auto& address : addresses)
    {
        const auto text = address.toString();
        if (text == "127.0.0.1" && ! withLoopback)
            continue;
        if (result.contains (text))
            continue;

        juce::DatagramSocket socket;
        if (socket.bindToPort (0, text))
            result.add (text);
        socket.shutdown();
    }

    if (! result.isEmpty() && withAny)
        result.insert (0, "0.0.0.0");
    return result;
}

juce::String NetworkAdapterComboBox::getAdapterName (const juce::String& address)
{
    if (address == "0.0.0.0")
        return "Any network";
    if (address == "127.0.0.1")
        return "This computer";

    for (const auto& adapter : Platform::getIPv4Adapters())
        if (adapter.firstIPv4Address == address)
            return adapter.friendlyName;
    return "No interface found for IP";
}

juce::String NetworkAdapterComboBox::getLocalHostName()
{
    return juce::SystemStats::getComputerName() + ".local";
}

void NetworkAdapterComboBox::refresh()
{
    clear (juce::dontSendNotification);
    addressToName.clear();
    nameToAddress.clear();

    int nextId = 1;
    for (const auto& address : getBindableAddresses (includeAny, includeLoopback))
    {
        const auto name = getAdapterName (address);
        addressToName[address] = name;
        nameToAddress[name] = address;
        if (name.isNotEmpty())
            addItem (name, nextId++);
    }
    const bool anyAddress = nextId > 1;
    addSeparator();
    addItem ("Refresh", nextId);

    if (nameToAddress.count (restoredName) > 0)
        setText (restoredName, juce::dontSendNotification);
    else if (anyAddress)
        setSelectedId (1, juce::sendNotificationAsync);
    // With nothing bindable the list waits for the operator's next "Refresh" instead of
    // rebuilding itself on every pass of the message loop.
}

juce::String NetworkAdapterComboBox::getSelectedAddress() const
{
    const auto text = getText();
    if (text == noNetworks)
        return {};
    if (auto found = nameToAddress.find (text); found != nameToAddress.end())
        return found->second;
    return text;
}

void NetworkAdapterComboBox::setSelectedAddress (const juce::String& address)
{
    if (auto found = addressToName.find (address); found != addressToName.end())
    {
        setText (found->second, juce::sendNotificationAsync);
        restoredName = found->second;
    }
    else
    {
        setText (address, juce::sendNotificationAsync);
    }
}
