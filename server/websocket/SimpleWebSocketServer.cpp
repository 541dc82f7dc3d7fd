#include "server/websocket/SimpleWebSocketServer.h"
#include <cstring>
#include <filesystem>
#include <regex>

namespace
{
const char* const notFoundAnswer = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";

void writeAnswer (HttpResponse& response, const char* answer)
{
    response.write (answer, std::strlen (answer));
}

std::string percentDecoded (const std::string& text)
{
    std::string result;
    result.reserve (text.size());
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '%' && i + 2 < text.size()
            && juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) text[i + 1]) >= 0
            && juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) text[i + 2]) >= 0)
        {
            result += static_cast<char> (juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) text[i + 1]) * 16
                                         + juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) text[i + 2]));
            i += 2;
        }
        else
        {
            result += text[i];
        }
    }
    return result;
}

/** Whether a relative request path, read literally or after any number of percent-decodings,
    could name something outside the folder it is resolved in. */
bool couldEscape (const std::string& relativePath)
{
    auto form = relativePath;
    for (int round = 0; round < 8; ++round)
    {
        if (form.find ('\\') != std::string::npos || form.find ('\0') != std::string::npos)
            return true;
        if (! form.empty() && (form[0] == '/' || form[0] == '~'))
            return true;
        if (form.size() >= 2 && form[1] == ':' && std::isalpha (static_cast<unsigned char> (form[0])))
            return true; // a drive letter

        size_t start = 0;
        while (start <= form.size())
        {
            const auto end = std::min (form.find ('/', start), form.size());
            if (form.compare (start, end - start, "..") == 0)
                return true;
            start = end + 1;
        }

        const auto decoded = percentDecoded (form);
        if (decoded == form)
            return false;
        form = decoded;
    }
    return true; // encoded more deeply than any real name
}

void writeHeader (HttpResponse& response, juce::int64 contentLength, const juce::String& mimeType)
{
    response.write ("HTTP/1.1 200 OK\r\n"
                    "Accept-range: bytes\r\n"
                    "Content-Length: " + juce::String (contentLength) + "\r\n"
                    "Content-Type: " + mimeType + "\r\n"
                    "Access-Control-Allow-Origin: *\r\n"
                    "\r\n");
}

bool isTextType (const juce::String& mimeType)
{
    // Document formats such as OpenDocument text are zip archives despite the word in their type.
    return mimeType.startsWith ("text/") || mimeType.contains ("json") || mimeType.contains ("script");
}

/** The bytes of a text file as they are sent: a UTF-8 byte-order mark is dropped, UTF-16 with
    a byte-order mark becomes UTF-8, and everything else passes unchanged. */
void toUtf8Body (juce::MemoryBlock& data)
{
    const auto* bytes = static_cast<const juce::uint8*> (data.getData());
    const auto size = data.getSize();
    if (size >= 3 && bytes[0] == 0xef && bytes[1] == 0xbb && bytes[2] == 0xbf)
    {
        data.removeSection (0, 3);
    }
    else if (size >= 2 && ((bytes[0] == 0xff && bytes[1] == 0xfe) || (bytes[0] == 0xfe && bytes[1] == 0xff)))
    {
        const auto text = juce::String::createStringFromData (data.getData(), static_cast<int> (size)).toStdString();
        data.replaceAll (text.data(), text.size());
    }
}
}

SimpleWebSocketServer::SimpleWebSocketServer() = default;

SimpleWebSocketServer::~SimpleWebSocketServer()
{
    stop();
    running = false;
    // stop() waits a bounded time; if a handler still holds the thread, wait for it here
    // rather than kill it or free what it uses.
    waitForThreadToExit (-1);
    {
        const juce::ScopedLock cl (clientsLock);
        clients.clear();
    }
    const juce::ScopedLock sl (serverLock);
    service.reset();
}

//==============================================================================
void SimpleWebSocketServer::runServer()
{
    std::shared_ptr<HttpWebSocketService> current;
    try
    {
        const std::regex pattern (("^" + getEndpointPath() + "/?$").toStdString(), std::regex::ECMAScript);
        endpointMatches = [pattern] (const std::string& path) { return std::regex_match (path, pattern); };

        HttpWebSocketService::Settings settings;
        settings.bindAddress = getBindAddress();
        settings.port = getPort();
        settings.reuseAddress = getReuseAddress();
        settings.maxConnections = maxConnections;
        configureService (settings);
        {
            const juce::ScopedLock sl (serverLock);
            if (threadShouldExit())
                return; // stopped before it began
            current = service = std::make_shared<HttpWebSocketService> (settings, static_cast<Handler&> (*this));
        }

        const auto boundPort = current->listen();
        running = (boundPort == getPort());
        callListeners ([] (Listener& l) { l.serverStarted(); });
        current->run();
    }
    catch (const std::exception& e)
    {
        // Whatever failed, nothing is served any more, and the connections go with the service.
        running = false;
        {
            const juce::ScopedLock cl (clientsLock);
            clients.clear();
        }
        const juce::String message (e.what());
        callListeners ([&message] (Listener& l) { l.serverError (message); });
    }
}

void SimpleWebSocketServer::stop()
{
    std::shared_ptr<HttpWebSocketService> current;
    {
        const juce::ScopedLock sl (serverLock);
        signalThreadShouldExit();
        current = service;
    }
    if (current != nullptr)
        current->shutdown (1000, "Server destroyed", closeFlushTimeoutMs);

    // The clients are gone for the owner at once; the connections themselves are released
    // only once the service thread has finished with them.
    juce::Array<std::shared_ptr<WebSocketConnection>> closing;
    {
        const juce::ScopedLock cl (clientsLock);
        for (juce::HashMap<juce::String, std::shared_ptr<WebSocketConnection>>::Iterator i (clients); i.next();)
            closing.add (i.getValue());
        clients.clear();
    }

    if (getThreadId() == juce::Thread::getCurrentThreadId() || ! isThreadRunning())
    {
        if (! isThreadRunning())
        {
            closing.clear();
            const juce::ScopedLock sl (serverLock);
            if (service == current)
                service.reset();
        }
        return;
    }

    // No lock is held here. The service ends by itself once the close frames are out or the
    // flush time has passed; the thread is never killed.
    if (! waitForThreadToExit (closeFlushTimeoutMs + 2000))
    {
        jassertfalse; // a listener callback is holding the server thread
        return;
    }

    closing.clear();
    const juce::ScopedLock sl (serverLock);
    if (service == current)
        service.reset();
}

//==============================================================================
void SimpleWebSocketServer::broadcastText (const juce::String& message)
{
    sendToAll (std::make_shared<const std::string> (message.toStdString()), false, {});
}

void SimpleWebSocketServer::broadcastBinary (const void* data, int numBytes)
{
    if (numBytes < 0 || (data == nullptr && numBytes > 0))
        return;
    sendToAll (std::make_shared<const std::string> (static_cast<const char*> (data), static_cast<size_t> (numBytes)), true, {});
}

void SimpleWebSocketServer::broadcastTextExcept (const juce::String& message, juce::StringArray idsToLeaveOut)
{
    sendToAll (std::make_shared<const std::string> (message.toStdString()), false, idsToLeaveOut);
}

void SimpleWebSocketServer::broadcastBinaryExcept (const juce::MemoryBlock& data, juce::StringArray idsToLeaveOut)
{
    sendToAll (std::make_shared<const std::string> (static_cast<const char*> (data.getData()), data.getSize()), true, idsToLeaveOut);
}

void SimpleWebSocketServer::sendTextTo (const juce::String& message, const juce::String& clientId)
{
    sendTo (clientId, std::make_shared<const std::string> (message.toStdString()), false);
}

void SimpleWebSocketServer::sendBinaryTo (const juce::MemoryBlock& data, const juce::String& clientId)
{
    sendTo (clientId, std::make_shared<const std::string> (static_cast<const char*> (data.getData()), data.getSize()), true);
}

void SimpleWebSocketServer::broadcastReplaceableText (const juce::String& message, int replaceKey, juce::StringArray idsToLeaveOut)
{
    sendToAll (std::make_shared<const std::string> (message.toStdString()), false, idsToLeaveOut, replaceKey);
}

void SimpleWebSocketServer::sendReplaceableTextTo (const juce::String& message, int replaceKey, const juce::String& clientId)
{
    sendTo (clientId, std::make_shared<const std::string> (message.toStdString()), false, replaceKey);
}

std::vector<int> SimpleWebSocketServer::getWaitingKeys (const juce::String& clientId)
{
    std::shared_ptr<WebSocketConnection> connection;
    {
        const juce::ScopedLock cl (clientsLock);
        if (clients.contains (clientId))
            connection = clients[clientId];
    }
    return connection != nullptr ? connection->getWaitingKeys() : std::vector<int>();
}

void SimpleWebSocketServer::sendToAll (std::shared_ptr<const std::string> payload, bool binary, const juce::StringArray& idsToLeaveOut,
                                       int replaceKey)
{
    // One payload for all: every connection queues a reference to it.
    const juce::ScopedLock cl (clientsLock);
    const bool leaveNoneOut = idsToLeaveOut.isEmpty();
    for (juce::HashMap<juce::String, std::shared_ptr<WebSocketConnection>>::Iterator i (clients); i.next();)
        if (leaveNoneOut || ! idsToLeaveOut.contains (i.getKey()))
            i.getValue()->send (payload, binary, replaceKey);
}

void SimpleWebSocketServer::sendTo (const juce::String& clientId, std::shared_ptr<const std::string> payload, bool binary, int replaceKey)
{
    const juce::ScopedLock cl (clientsLock);
    if (clients.contains (clientId))
        clients[clientId]->send (std::move (payload), binary, replaceKey);
}

void SimpleWebSocketServer::closeClient (const juce::String& clientId, int status, const juce::String& reason)
{
    const juce::ScopedLock cl (clientsLock);
    if (clients.contains (clientId))
        clients[clientId]->close (status, reason);
}

int SimpleWebSocketServer::getNumClients()
{
    const juce::ScopedLock cl (clientsLock);
    return clients.size();
}

juce::StringArray SimpleWebSocketServer::getServedMethods() const
{
    return { "GET", "POST", "PUT", "DELETE", "PATCH" };
}

void SimpleWebSocketServer::configureService (HttpWebSocketService::Settings&) {}

//==============================================================================
bool SimpleWebSocketServer::isWebSocketPath (const juce::String& path)
{
    return endpointMatches != nullptr && endpointMatches (path.toStdString());
}

void SimpleWebSocketServer::onClientOpen (std::shared_ptr<WebSocketConnection> connection)
{
    // Told before the connection can receive a broadcast, so a listener can hold it back
    // until it has sent its own first messages.
    callListeners ([&connection] (Listener& l) { l.clientOpening (connection->getId()); });
    {
        const juce::ScopedLock cl (clientsLock);
        clients.set (connection->getId(), connection);
    }
    callListeners ([&connection] (Listener& l) { l.clientConnected (connection->getId()); });
}

void SimpleWebSocketServer::onClientMessage (std::shared_ptr<WebSocketConnection> connection, const void* data, size_t numBytes, bool binary)
{
    const auto& id = connection->getId();
    if (binary)
    {
        const juce::MemoryBlock block (data, numBytes);
        callListeners ([&] (Listener& l) { l.binaryReceived (id, block); });
    }
    else
    {
        const auto text = juce::String::fromUTF8 (static_cast<const char*> (data), static_cast<int> (numBytes));
        callListeners ([&] (Listener& l) { l.textReceived (id, text); });
    }
}

void SimpleWebSocketServer::onClientClose (std::shared_ptr<WebSocketConnection> connection, int status, const juce::String& reason)
{
    if (forget (connection))
        callListeners ([&] (Listener& l) { l.clientClosed (connection->getId(), status, reason); });
}

void SimpleWebSocketServer::onClientError (std::shared_ptr<WebSocketConnection> connection, const juce::String& message)
{
    if (forget (connection))
        callListeners ([&] (Listener& l) { l.clientError (connection->getId(), message); });
}

bool SimpleWebSocketServer::forget (const std::shared_ptr<WebSocketConnection>& connection)
{
    const auto& id = connection->getId();
    const juce::ScopedLock cl (clientsLock);
    if (! clients.contains (id))
        return true; // never opened (failed handshake), or already forgotten
    if (clients[id] != connection)
        return false; // the client has reconnected from the same address and port: the new one stays
    clients.remove (id);
    return true;
}

//==============================================================================
void SimpleWebSocketServer::onHttpRequest (std::shared_ptr<HttpResponse> response, std::shared_ptr<const HttpRequest> request)
{
    const auto methods = getServedMethods();
    if (! methods.contains (request->method))
    {
        // Never silence: a request without an answer looks like a network fault to the client.
        response->write ("HTTP/1.1 405 Method Not Allowed\r\nAllow: " + methods.joinIntoString (", ")
                         + "\r\nContent-Length: 0\r\n\r\n");
        return;
    }

    for (auto* handler : getRequestHandlers())
        if (handler->handleRequest (response, request))
            return;

    const auto root = getRootFolder();
    if (! root.isDirectory())
        return writeAnswer (*response, notFoundAnswer);

    auto file = resolveRequestPath (root, request->path);
    if (file.isDirectory())
        file = file.getChildFile ("index.html");

    if (file == juce::File() || ! file.existsAsFile() || ! isInside (root, file) || ! serveFile (file, *response))
        writeAnswer (*response, notFoundAnswer);
}

juce::File SimpleWebSocketServer::resolveRequestPath (const juce::File& root, const juce::String& path)
{
    if (! path.startsWithChar ('/'))
        return {};
    auto relative = path.substring (1);
    if (couldEscape (relative.toStdString()))
        return {};
    if (relative.isEmpty())
        relative = "index.html";
    return root.getChildFile (relative);
}

bool SimpleWebSocketServer::isInside (const juce::File& root, const juce::File& file)
{
    // Resolves links too, so a link inside the root that points elsewhere is refused.
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto canonicalRoot = fs::canonical (fs::path (root.getFullPathName().toStdString()), ec);
    if (ec)
        return false;
    const auto canonicalFile = fs::canonical (fs::path (file.getFullPathName().toStdString()), ec);
    if (ec)
        return false;

    auto r = canonicalRoot.begin();
    auto f = canonicalFile.begin();
    for (; r != canonicalRoot.end(); ++r, ++f)
        if (f == canonicalFile.end() || *r != *f)
            return false;
    return f != canonicalFile.end();
}

bool SimpleWebSocketServer::serveFile (const juce::File& file, HttpResponse& response)
{
    const auto mimeType = getMimeType (file.getFileExtension());

    juce::FileInputStream in (file);
    if (! in.openedOk())
        return false;
    const auto size = in.getTotalLength();

    // The body goes out from the file in pieces; only a text file's byte-order mark changes it.
    juce::int64 offset = 0;
    if (isTextType (mimeType))
    {
        juce::uint8 start[3] = {};
        const auto got = in.read (start, 3);
        if (got == 3 && start[0] == 0xef && start[1] == 0xbb && start[2] == 0xbf)
        {
            offset = 3;
        }
        else if (got >= 2 && ((start[0] == 0xff && start[1] == 0xfe) || (start[0] == 0xfe && start[1] == 0xff)))
        {
            // UTF-16 is converted as a whole; the web client's own files are UTF-8.
            juce::MemoryBlock body;
            if (! file.loadFileAsData (body))
                return false;
            toUtf8Body (body);
            writeHeader (response, (juce::int64) body.getSize(), mimeType);
            response.write (body.getData(), body.getSize());
            return true;
        }
    }

    writeHeader (response, size - offset, mimeType);
    response.writeFile (file, offset, size - offset);
    return true;
}

//==============================================================================
juce::String SimpleWebSocketServer::getMimeType (const juce::String& extension)
{
    // Filled once; a lookup on another server's thread waits for the fill to finish.
    static const auto table = fillMimeTypes();
    const auto found = table.find (extension);
    return found != table.end() ? found->second : juce::String();
}

std::map<juce::String, juce::String> SimpleWebSocketServer::fillMimeTypes()
{
    return {
        { ".aac", "audio/aac" },
        { ".abw", "application/x-abiword" },
        { ".arc", "application/octet-stream" },
        { ".avi", "video/x-msvideo" },
        { ".azw", "application/vnd.amazon.ebook" },
        { ".bin", "application/octet-stream" },
        { ".bmp", "image/bmp" },
        { ".bz", "application/x-bzip" },
        { ".bz2", "application/x-bzip2" },
        { ".csh", "application/x-csh" },
        { ".css", "text/css" },
        { ".csv", "text/csv" },
        { ".doc", "application/msword" },
        { ".docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document" },
        { ".eot", "application/vnd.ms-fontobject" },
        { ".epub", "application/epub+zip" },
        { ".gif", "image/gif" },
        { ".html", "text/html" },
        { ".ico", "image/x-icon" },
        { ".ics", "text/calendar" },
        { ".jar", "application/java-archive" },
        { ".jpeg", "image/jpeg" },
        { ".jpg", "image/jpeg" },
        { ".js", "application/javascript" },
        { ".json", "application/json" },
        { ".mid", "audio/midi" },
        { ".midi", "audio/midi" },
        { ".mpeg", "video/mpeg" },
        { ".mp4", "video/mp4s" },
        { ".mpkg", "application/vnd.apple.installer+xml" },
        { ".odp", "application/vnd.oasis.opendocument.presentation" },
        { ".ods", "application/vnd.oasis.opendocument.spreadsheet" },
        { ".odt", "application/vnd.oasis.opendocument.text" },
        { ".oga", "audio/ogg" },
        { ".ogv", "video/ogg" },
        { ".ogx", "application/ogg" },
        { ".otf", "font/otf" },
        { ".png", "image/png" },
        { ".pdf", "application/pdf" },
        { ".ppt", "application/vnd.ms-powerpoint" },
        { ".pptx", "application/vnd.openxmlformats-officedocument.presentationml.presentation" },
        { ".rar", "application/x-rar-compressed" },
        { ".rtf", "application/rtf" },
        { ".sh", "application/x-sh" },
        { ".svg", "image/svg+xml" },
        { ".swf", "application/x-shockwave-flash" },
        { ".tar", "application/x-tar" },
        { ".tif", "image/tiff" },
        { ".tiff", "image/tiff" },
        { ".ts", "application/typescript" },
        { ".ttf", "font/ttf" },
        { ".vsd", "application/vnd.visio" },
        { ".wav", "audio/x-wav" },
        { ".weba", "audio/webm" },
        { ".webm", "video/webm" },
        { ".webp", "image/webp" },
        { ".woff", "font/woff" },
        { ".woff2", "font/woff2" },
        { ".xhtml", "application/xhtml+xml" },
        { ".xls", "application/vnd.ms-excel" },
        { ".xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet" },
        { ".xml", "application/xml" },
        { ".xul", "application/vnd.mozilla.xul+xml" },
        { ".zip", "application/zip" },
        { ".3gp", "video/3gpp" },
        { ".3g2", "video/3gpp2" },
        { ".7z", "application/x-7z-compressed" },
    };
}
