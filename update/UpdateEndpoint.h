#pragma once

#include <juce_core/juce_core.h>

/** Where the maker's update service lives and which addresses the update code may reach.
    The base address comes from the environment variable VANTREL_UPDATE_URL; without it the
    address is a reserved name that never resolves, so no build reaches a real host by
    accident. Since a downloaded archive is run, every address must be https, except a
    loopback one (a local test service). */
class UpdateEndpoint
{
public:
    static constexpr const char* environmentVariable = "VANTREL_UPDATE_URL";
    static constexpr const char* defaultBase = "https://updates.vantrel.invalid";

    /** The base address without a trailing slash. */
    static juce::String getBase();

    /** The version overview: GET. */
    static juce::URL getOverviewUrl();
    /** The short up-to-date message: POST with an empty body. */
    static juce::URL getMessageUrl();

    /** True for https addresses, and for http ones whose host is this machine's loopback. */
    static bool isAllowed (const juce::URL& url);

    UpdateEndpoint() = delete;
};
