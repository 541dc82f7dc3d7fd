#include "server/websocket/SimpleWebSocketServerBase.h"

SimpleWebSocketServerBase::SimpleWebSocketServerBase()
    : juce::Thread ("Web socket")
{
}

SimpleWebSocketServerBase::~SimpleWebSocketServerBase()
{
    // The derived server has stopped its service by now; the thread only has to return.
    // It is waited for, never killed.
    signalThreadShouldExit();
    waitForThreadToExit (-1);
}

void SimpleWebSocketServerBase::run()
{
    running = false;
    runServer();
}

void SimpleWebSocketServerBase::broadcastBinary (const void*, int) {}
void SimpleWebSocketServerBase::broadcastText (const juce::String&) {}
void SimpleWebSocketServerBase::sendBinaryTo (const juce::MemoryBlock&, const juce::String&) {}
void SimpleWebSocketServerBase::sendTextTo (const juce::String&, const juce::String&) {}
void SimpleWebSocketServerBase::broadcastBinaryExcept (const juce::MemoryBlock&, juce::StringArray) {}
void SimpleWebSocketServerBase::broadcastTextExcept (const juce::String&, juce::StringArray) {}
void SimpleWebSocketServerBase::stop() {}
void SimpleWebSocketServerBase::closeClient (const juce::String&, int, const juce::String&) {}
int SimpleWebSocketServerBase::getNumClients() { return 0; }
void SimpleWebSocketServerBase::broadcastReplaceableText (const juce::String&, int, juce::StringArray) {}
void SimpleWebSocketServerBase::sendReplaceableTextTo (const juce::String&, int, const juce::String&) {}
void SimpleWebSocketServerBase::runServer() {}

void SimpleWebSocketServerBase::start (int newPort, const juce::String& newEndpointPath, const juce::String& newBindAddress)
{
    if (isThreadRunning())
    {
        stop();
        waitForThreadToExit (-1);
    }

    bindAddress = newBindAddress;
    port = newPort;
    endpointPath = newEndpointPath;
    // On POSIX this only lets a restart bind while old connections linger in TIME_WAIT; a
    // port that another socket listens on is still refused. On Windows it would allow two
    // listeners on one port, so it stays off there.
   #if JUCE_WINDOWS
    reuseAddress = false;
   #else
    reuseAddress = true;
   #endif
    startThread();
}

void SimpleWebSocketServerBase::stopServer()
{
    stop();
    running = false;
}

void SimpleWebSocketServerBase::addListener (Listener* listener)
{
    const juce::ScopedLock sl (listenerLock);
    listeners.addIfNotAlreadyThere (listener);
}

void SimpleWebSocketServerBase::addRequestHandler (RequestHandler* handler)
{
    const juce::ScopedLock sl (listenerLock);
    requestHandlers.addIfNotAlreadyThere (handler);
}

void SimpleWebSocketServerBase::setRootFolder (const juce::File& folder)
{
    const juce::ScopedLock sl (rootFolderLock);
    rootFolder = folder;
}

juce::File SimpleWebSocketServerBase::getRootFolder() const
{
    const juce::ScopedLock sl (rootFolderLock);
    return rootFolder;
}

void SimpleWebSocketServerBase::callListeners (const std::function<void (Listener&)>& callback)
{
    juce::Array<Listener*> snapshot;
    {
        const juce::ScopedLock sl (listenerLock);
        snapshot = listeners;
    }
    for (auto* listener : snapshot)
        callback (*listener);
}

juce::Array<SimpleWebSocketServerBase::RequestHandler*> SimpleWebSocketServerBase::getRequestHandlers() const
{
    const juce::ScopedLock sl (listenerLock);
    return requestHandlers;
}
