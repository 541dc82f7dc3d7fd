#include "server/websocket/SecureWebSocketClient.h"

SecureWebSocketClient::~SecureWebSocketClient()
{
    // The client thread calls runClient of this class: it ends before this object does.
    disconnect();
    if (juce::Thread::getCurrentThreadId() != getThreadId())
        waitForThreadToExit (-1);
}

void SecureWebSocketClient::runClient()
{
    runLibraryClient (true, 443);
}
