#pragma once

#include "server/websocket/SimpleWebSocketClientBase.h"

/** A WebSocket client over plain TCP; default port 80.
    Handshake and idle time-outs of 1000 s. */
class SimpleWebSocketClient : public SimpleWebSocketClientBase
{
public:
    SimpleWebSocketClient() = default;
    ~SimpleWebSocketClient() override;

protected:
    void runClient() override;

private:
    JUCE_DECLARE_NON_COPYABLE (SimpleWebSocketClient)
};
