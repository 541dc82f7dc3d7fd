#include "update/UpdateEndpoint.h"

#include <cstdlib>

namespace
{
const juce::String productNumber { "19203" };

bool isLoopbackHost (const juce::String& host)
{
    if (host.equalsIgnoreCase ("localhost") || host == "[::1]")
        return true;

    // A dotted quad in 127.0.0.0/8, written plainly: "127.0.0.1.example.com" is not one.
    juce::StringArray parts;
    parts.addTokens (host, ".", "");
    if (parts.size() != 4 || parts[0] != "127")
        return false;
    for (const auto& part : parts)
        if (part.isEmpty() || part.length() > 3 || ! part.containsOnly ("0123456789") || part.getIntValue() > 255)
            return false;
    return true;
}

/** The host part of an absolute address ("scheme://host[:port]/..."), empty when the address
    has none or names a user ("user@host"), which could hide the real host. */
juce::String hostOf (const juce::String& address)
{
    const int start = address.indexOf ("://");
    if (start < 0)
        return {};
    auto authority = address.substring (start + 3).upToFirstOccurrenceOf ("/", false, false)
                                                  .upToFirstOccurrenceOf ("?", false, false)
                                                  .upToFirstOccurrenceOf ("#", false, false);
    if (authority.containsChar ('@') || authority.containsChar ('\\'))
        return {};
    if (authority.startsWithChar ('['))
        return authority.upToFirstOccurrenceOf ("]", true, false);
    return authority.upToFirstOccurrenceOf (":", false, false);
}
}

juce::String UpdateEndpoint::getBase()
{
    juce::String base { defaultBase };
    if (const auto* value = std::getenv (environmentVariable); value != nullptr && *value != 0)
        base = juce::String::fromUTF8 (value);
    while (base.endsWithChar ('/'))
        base = base.dropLastCharacters (1);
    return base;
}

juce::URL UpdateEndpoint::getOverviewUrl()
{
    return juce::URL (getBase() + "/updates/" + productNumber + "/overview.xml");
}

juce::URL UpdateEndpoint::getMessageUrl()
{
    return juce::URL (getBase() + "/updates/cutemessages.php");
}

bool UpdateEndpoint::isAllowed (const juce::URL& url)
{
    const auto address = url.toString (true);
    const auto host = hostOf (address);
    if (host.isEmpty())
        return false;
    if (address.startsWithIgnoreCase ("https://"))
        return true;
    return address.startsWithIgnoreCase ("http://") && isLoopbackHost (host);
}
