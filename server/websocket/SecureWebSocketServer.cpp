#include "server/websocket/SecureWebSocketServer.h"

SecureWebSocketServer::SecureWebSocketServer (const juce::String& certificate, const juce::String& privateKey, const juce::String& verify)
    : certificateFile (certificate), privateKeyFile (privateKey), verifyFile (verify)
{
}

SecureWebSocketServer::~SecureWebSocketServer()
{
    // The server thread reads this object's settings when it starts: it must be gone
    // before they are.
    stopServer();
    waitForThreadToExit (-1);
}

juce::StringArray SecureWebSocketServer::getServedMethods() const
{
    return { "GET" };
}

void SecureWebSocketServer::configureService (HttpWebSocketService::Settings& settings)
{
    settings.certificateFile = certificateFile;
    settings.privateKeyFile = privateKeyFile;
    settings.verifyFile = verifyFile;
    settings.requestTimeoutMs = 1000;
    settings.contentTimeoutMs = 2000;
    settings.handshakeTimeoutMs = 2000;
    settings.maxRequestBytes = 1000000;
}
