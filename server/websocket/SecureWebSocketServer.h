#pragma once

#include "server/websocket/SimpleWebSocketServer.h"

/** The TLS twin of SimpleWebSocketServer: HTTPS and secure WebSocket on one port, with the
    same client ids, listener callbacks, limits, replaceable messages and stop (close 1000
    "Server destroyed"). Speaks TLS 1.2 only, without compression. Answers GET from the root
    folder and every other method with 405. Time-outs: 1 s to receive a request header,
    2 s for a body or an answer, 2 s to write the WebSocket opening answer.

    With a verify file, every client must present a certificate that verifies against the
    authorities in it; it is asked for in the first handshake only. A certificate, key or
    verify file that cannot be loaded fails the start with serverError. */
class SecureWebSocketServer : public SimpleWebSocketServer
{
public:
    /** Paths of the certificate chain (PEM), its private key (PEM) and, optionally, the
        authorities that client certificates must verify against. */
    SecureWebSocketServer (const juce::String& certificateFile, const juce::String& privateKeyFile,
                           const juce::String& verifyFile = {});
    ~SecureWebSocketServer() override;

protected:
    juce::StringArray getServedMethods() const override;
    void configureService (HttpWebSocketService::Settings& settings) override;

private:
    const juce::String certificateFile, privateKeyFile, verifyFile;

    JUCE_DECLARE_NON_COPYABLE (SecureWebSocketServer)
};
