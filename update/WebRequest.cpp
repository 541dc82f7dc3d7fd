#include "update/WebRequest.h"

namespace
{
// The reply is a sentence or two; anything far longer is not one.
constexpr size_t maxReplyBytes = 64 * 1024;
}

WebRequest::WebRequest() : juce::Thread ("WebRequest")
{
}

WebRequest::~WebRequest()
{
    poster.revoke();
    stop();
}

void WebRequest::request (const juce::URL& address)
{
    if (isThreadRunning())
        return;
    url = address;
    connection.rearm();
    startThread();
}

void WebRequest::stop()
{
    signalThreadShouldExit();
    connection.cancel();
    stopThread (-1);
}

void WebRequest::run()
{
    UpdateConnection::Options options;
    options.post = true;
    std::optional<juce::String> text;
    if (connection.open (url, options))
        text = connection.readText (maxReplyBytes);
    connection.close();

    if (threadShouldExit())
        return;

    poster.post ([this, ok = text.has_value(), reply = text.value_or (failedText)]
                 {
                     if (onResponse)
                         onResponse (ok, reply);
                 });
}
