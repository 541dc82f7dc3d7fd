#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <unordered_map>

/** The drop-down in which the operator picks the address the web-client servers bind to:
    "Any network", then every bindable adapter address by the adapter's name, then "Refresh". */
class NetworkAdapterComboBox : public juce::ComboBox
{
public:
    NetworkAdapterComboBox();

    /** Called when the operator chooses an address entry (not "Refresh"). */
    std::function<void()> onAddressChosen;

    bool includeAny = true;
    bool includeLoopback = false;

    /** The IPv4 addresses a UDP socket can bind to here; "0.0.0.0" first when asked for and
        when anything is bindable at all. */
    static juce::StringArray getBindableAddresses (bool includeAny, bool includeLoopback);
    static juce::String getAdapterName (const juce::String& address);
    static juce::String getLocalHostName();

    void refresh();
    juce::String getSelectedAddress() const;
    void setSelectedAddress (const juce::String& address);

private:
    struct StringHash
    {
        size_t operator() (const juce::String& s) const noexcept { return (size_t) s.hashCode64(); }
    };
    std::unordered_map<juce::String, juce::String, StringHash> addressToName;
    std::unordered_map<juce::String, juce::String, StringHash> nameToAddress;
    juce::String restoredName;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NetworkAdapterComboBox)
};
