#pragma once

#include <juce_core/juce_core.h>

/** One HTTP request as the server received it, handed to the request handlers. */
struct HttpRequest
{
    juce::String method;      // as sent, e.g. "GET"
    juce::String path;        // the target up to its "?", not percent-decoded
    juce::String query;       // what follows the "?", without it
    juce::String httpVersion; // e.g. "1.1"
    juce::StringPairArray headers; // names compared without regard to case
    juce::MemoryBlock body;
    juce::String remoteId;    // "address:port" of the sender
};
