#include "server/websocket/SimpleWebSocketClientBase.h"

namespace
{
constexpr int disconnectWaitMs = 1000;
}

SimpleWebSocketClientBase::SimpleWebSocketClientBase()
    : juce::Thread ("WebSocket client")
{
}

SimpleWebSocketClientBase::~SimpleWebSocketClientBase()
{
    disconnect();
    if (juce::Thread::getCurrentThreadId() != getThreadId())
    {
        // The library client ends promptly once stopped; what it uses must outlive it, so
        // the thread is waited for, never killed.
        {
            const juce::ScopedLock sl (connectionLock);
            if (libraryClient != nullptr)
                libraryClient->stop();
        }
        waitForThreadToExit (-1);
    }
    const juce::ScopedLock sl (connectionLock);
    connection.reset();
    libraryClient.reset();
}

void SimpleWebSocketClientBase::run()
{
    connected = false;
    runClient();
    connected = false;
}

void SimpleWebSocketClientBase::runClient() {}

void SimpleWebSocketClientBase::connect (const juce::String& newUrl)
{
    if (isThreadRunning() && juce::Thread::getCurrentThreadId() != getThreadId())
    {
        disconnect();
        waitForThreadToExit (-1);
    }
    {
        const juce::ScopedLock sl (urlLock);
        url = newUrl;
    }
    startThread();
}

juce::String SimpleWebSocketClientBase::getUrl() const
{
    const juce::ScopedLock sl (urlLock);
    return url;
}

void SimpleWebSocketClientBase::sendText (const juce::String& text)
{
    const juce::ScopedLock sl (connectionLock);
    if (connection != nullptr)
        connection->send (text.toStdString(), false);
}

void SimpleWebSocketClientBase::sendBinary (const void* data, int numBytes)
{
    if (numBytes < 0 || (data == nullptr && numBytes > 0))
        return;
    const juce::ScopedLock sl (connectionLock);
    if (connection != nullptr)
        connection->send (std::string (static_cast<const char*> (data), static_cast<size_t> (numBytes)), true);
}

void SimpleWebSocketClientBase::close()
{
    signalThreadShouldExit(); // a client thread that has not connected yet will not
    const juce::ScopedLock sl (connectionLock);
    if (connection != nullptr)
        connection->close (1000, "Time to split my friend"); // stops the library client once answered
    else if (libraryClient != nullptr)
        libraryClient->stop();
}

void SimpleWebSocketClientBase::disconnect()
{
    closing = true;
    close();
    if (juce::Thread::getCurrentThreadId() != getThreadId())
        waitForThreadToExit (disconnectWaitMs);
    closing = false;
}

void SimpleWebSocketClientBase::addListener (Listener* listener)
{
    const juce::ScopedLock sl (listenerLock);
    listeners.addIfNotAlreadyThere (listener);
}

void SimpleWebSocketClientBase::removeListener (Listener* listener)
{
    const juce::ScopedLock sl (listenerLock);
    listeners.removeFirstMatchingValue (listener);
}

void SimpleWebSocketClientBase::callListeners (const std::function<void (Listener&)>& callback)
{
    juce::Array<Listener*> snapshot;
    {
        const juce::ScopedLock sl (listenerLock);
        snapshot = listeners;
    }
    for (auto* listener : snapshot)
        callback (*listener);
}

void SimpleWebSocketClientBase::runLibraryClient (bool useTls, int defaultPort)
{
    WebSocketClientEngine::Events events;
    events.opened = [this] (std::shared_ptr<WebSocketClientEngine::Connection> opened)
    {
        {
            const juce::ScopedLock sl (connectionLock);
            connection = std::move (opened);
        }
        connected = true;
        callListeners ([] (Listener& l) { l.connectionOpened(); });
    };
    events.message = [this] (const void* data, size_t numBytes, bool binary)
    {
        if (binary)
        {
            const juce::MemoryBlock block (data, numBytes);
            callListeners ([&block] (Listener& l) { l.binaryReceived (block); });
        }
        else
        {
            const auto text = juce::String::fromUTF8 (static_cast<const char*> (data), static_cast<int> (numBytes));
            callListeners ([&text] (Listener& l) { l.textReceived (text); });
        }
    };
    events.closed = [this] (int status, const juce::String& reason)
    {
        connected = false;
        callListeners ([&] (Listener& l) { l.connectionClosed (status, reason); });
    };
    events.failed = [this] (const juce::String& message)
    {
        connected = false;
        if (! closing)
            callListeners ([&message] (Listener& l) { l.connectionError (message); });
    };

    WebSocketClientEngine* engine = nullptr;
    {
        // The previous connection and library client go before a new one begins.
        const juce::ScopedLock sl (connectionLock);
        connection.reset();
        libraryClient = std::make_unique<WebSocketClientEngine> (useTls, std::move (events));
        engine = libraryClient.get();
        if (threadShouldExit())
            engine->stop(); // a disconnect came before the library client existed
    }
    engine->run (getUrl(), defaultPort);
    const juce::ScopedLock sl (connectionLock);
    connection.reset(); // sends after the end do nothing
}
