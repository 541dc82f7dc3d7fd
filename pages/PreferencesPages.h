#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class VantrelController;

/** One factory per page of the preferences window. A factory hands back the page it built:
    without a size it fills the content area, with one (the small panels) it starts at that
    size at the top left. An empty result leaves the content area empty. */
struct PreferencesPages
{
    using Page = std::unique_ptr<juce::Component>;

    static Page project (VantrelController& controller);
    static Page timetable (VantrelController& controller);
    static Page categories (VantrelController& controller);
    static Page webClients (VantrelController& controller);
    static Page defaults (VantrelController& controller);
    static Page audio (VantrelController& controller);
    static Page update (VantrelController& controller);
    static Page credits (VantrelController& controller);

    /** A titled panel of a fixed starting size around the content (which may be none yet). */
    static Page panel (const juce::String& title, const void* svgData, int svgSize, int width, int height,
                       juce::Component* content);
};
