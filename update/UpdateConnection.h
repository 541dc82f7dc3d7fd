#pragma once

#include <juce_core/juce_core.h>
#include <mutex>
#include <optional>

/** One request to the update service, opened and read on a worker thread, that another
    thread can cancel at any moment. Redirects are followed here rather than by the HTTP
    library, so that every address a reply points to passes the same check as the first one
    (UpdateEndpoint::isAllowed) before it is requested. Every request gives up when the
    connection or the reply stalls for the time-out. */
class UpdateConnection
{
public:
    static constexpr int timeoutMs = 5000;

    struct Options
    {
        bool post = false;
        juce::String extraHeaders;
        int maxRedirects = 5;
    };

    UpdateConnection() = default;
    ~UpdateConnection();

    /** Worker thread. Opens the request; true when the final reply's status is 2xx. */
    bool open (const juce::URL& url, const Options& options);

    /** The final reply's status (0 when there was none). */
    int getStatusCode() const { return statusCode; }
    /** The announced length of the reply's body; negative when the reply announced none. */
    juce::int64 getTotalLength();

    /** Worker thread. Copies up to the given number of bytes; 0 at the end, after a failure
        or after a cancel. */
    int read (void* buffer, int bytes);
    /** Worker thread. True when the transfer broke off (or was cancelled) rather than ended. */
    bool failed();

    /** Worker thread. The whole reply as text; nothing when the request failed, was cancelled
        or the reply is longer than the limit. */
    std::optional<juce::String> readText (size_t maxBytes);

    /** Worker thread. Ends the request. */
    void close();

    /** Any thread. Aborts a request under way and refuses new ones until rearm. */
    void cancel();
    /** Allows requests again. Only while no worker uses this connection. */
    void rearm();

private:
    std::mutex lock; // guards stream and cancelled against cancel() from another thread
    std::unique_ptr<juce::WebInputStream> stream;
    bool cancelled = false;
    int statusCode = 0;

    bool connect (const juce::URL& url, const Options& options);

    JUCE_DECLARE_NON_COPYABLE (UpdateConnection)
};
