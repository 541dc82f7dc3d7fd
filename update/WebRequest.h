#pragma once

#include "update/MessagePoster.h"
#include "update/UpdateConnection.h"
#include <juce_core/juce_core.h>
#include <functional>

/** Posts an empty body to an address on a thread of its own and hands the reply's text to
    the message thread. */
class WebRequest : public juce::Thread
{
public:
    static constexpr const char* failedText = "Could not connect to url";

    WebRequest();
    ~WebRequest() override;

    /** Called on the message thread with (true, reply) or (false, failedText); read when the
        reply arrives. */
    std::function<void (bool, juce::String)> onResponse;

    /** Message thread. Starts the request unless one is running. */
    void request (const juce::URL& address);
    /** Message thread. Aborts a request under way and waits for the thread to end. */
    void stop();

    void run() override;

private:
    juce::URL url;
    UpdateConnection connection;
    MessagePoster poster;

    JUCE_DECLARE_NON_COPYABLE (WebRequest)
};
