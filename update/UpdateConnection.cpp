#include "update/UpdateConnection.h"

#include "update/UpdateEndpoint.h"

namespace
{
// Large reads: the stream moves what is left in its buffer after every read.
constexpr int chunkBytes = 64 * 1024;

bool isRedirect (int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

/** The address a Location header names, seen from the address that sent it; empty when the
    form is not one we follow (absolute, or absolute path on the same host). */
juce::String resolveLocation (const juce::URL& from, const juce::String& location)
{
    const auto target = location.trim();
    if (target.contains ("://"))
        return target;
    if (target.startsWithChar ('/') && ! target.startsWith ("//"))
    {
        const auto address = from.toString (true);
        const int hostStart = address.indexOf ("://") + 3;
        const int pathStart = address.indexOf (hostStart, "/");
        return (pathStart < 0 ? address : address.substring (0, pathStart)) + target;
    }
    return {};
}
}

UpdateConnection::~UpdateConnection()
{
    close();
}

bool UpdateConnection::connect (const juce::URL& url, const Options& options)
{
    auto made = std::make_unique<juce::WebInputStream> (url, options.post);
    if (options.extraHeaders.isNotEmpty())
        made->withExtraHeaders (options.extraHeaders);
    made->withConnectionTimeout (timeoutMs);
    made->withNumRedirectsToFollow (0);

    juce::WebInputStream* opened = nullptr;
    {
        const std::lock_guard<std::mutex> guard (lock);
        if (cancelled)
            return false;
        stream = std::move (made);
        opened = stream.get();
    }
    // Outside the lock: a cancel meanwhile aborts the connection attempt.
    if (! opened->connect (nullptr))
        return false;
    statusCode = opened->getStatusCode();
    return true;
}

bool UpdateConnection::open (const juce::URL& url, const Options& options)
{
    close();
    statusCode = 0;
    if (! UpdateEndpoint::isAllowed (url))
        return false;

    auto current = url;
    for (int redirects = 0;; ++redirects)
    {
        if (! connect (current, options))
            return false;
        if (! isRedirect (statusCode))
            return statusCode >= 200 && statusCode < 300;

        const auto next = resolveLocation (current, stream->getResponseHeaders().getValue ("Location", {}));
        close();
        if (redirects >= options.maxRedirects || next.isEmpty() || ! UpdateEndpoint::isAllowed (juce::URL (next)))
            return false;
        current = juce::URL (next);
    }
}

juce::int64 UpdateConnection::getTotalLength()
{
    return stream != nullptr ? stream->getTotalLength() : -1;
}

int UpdateConnection::read (void* buffer, int bytes)
{
    if (stream == nullptr || bytes <= 0)
        return 0;
    return juce::jmax (0, stream->read (buffer, bytes));
}

bool UpdateConnection::failed()
{
    // Under the lock: a cancel from another thread changes what the stream reports.
    const std::lock_guard<std::mutex> guard (lock);
    return stream == nullptr || stream->isError();
}

std::optional<juce::String> UpdateConnection::readText (size_t maxBytes)
{
    juce::MemoryOutputStream text;
    juce::HeapBlock<char> chunk (chunkBytes);
    for (;;)
    {
        const int got = read (chunk.get(), chunkBytes);
        if (got <= 0)
            break;
        if (text.getDataSize() + (size_t) got > maxBytes)
            return std::nullopt;
        text.write (chunk.get(), (size_t) got);
    }
    if (failed())
        return std::nullopt;
    return text.toUTF8();
}

void UpdateConnection::close()
{
    std::unique_ptr<juce::WebInputStream> closing;
    {
        const std::lock_guard<std::mutex> guard (lock);
        closing = std::move (stream);
    }
}

void UpdateConnection::cancel()
{
    const std::lock_guard<std::mutex> guard (lock);
    cancelled = true;
    if (stream != nullptr)
        stream->cancel();
}

void UpdateConnection::rearm()
{
    const std::lock_guard<std::mutex> guard (lock);
    cancelled = false;
}
