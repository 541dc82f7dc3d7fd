#pragma once

#include "server/websocket/SimpleWebSocketClientBase.h"

/** A WebSocket client over TLS 1.2; default port 443. It loads the system's certificate
    authorities but does not verify the server's certificate, and presents none of its own.
    Handshake and idle time-outs of 1000 s. */
class SecureWebSocketClient : public SimpleWebSocketClientBase
{
public:
    SecureWebSocketClient() = default;
    ~SecureWebSocketClient() override;

protected:
    void runClient() override;

private:
    JUCE_DECLARE_NON_COPYABLE (SecureWebSocketClient)
};
