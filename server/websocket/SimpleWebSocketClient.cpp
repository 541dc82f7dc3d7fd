#include "server/websocket/SimpleWebSocketClient.h"

SimpleWebSocketClient::~SimpleWebSocketClient()
{
    // The client thread calls runClient of this class: it ends before this object does.
    disconnect();
    if (juce::Thread::getCurrentThreadId() != getThreadId())
        waitForThreadToExit (-1);
}

void SimpleWebSocketClient::runClient()
{
    runLibraryClient (false, 80);
}
