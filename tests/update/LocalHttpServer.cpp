#include "LocalHttpServer.h"

#include "update/UpdateEndpoint.h"
#include <arpa/inet.h>
#include <cctype>
#include <cstdlib>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace test
{
namespace
{
std::string lower (std::string text)
{
    for (auto& c : text)
        c = (char) std::tolower ((unsigned char) c);
    return text;
}

bool sendAll (int socket, const std::string& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size())
    {
        const auto n = ::send (socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += (size_t) n;
    }
    return true;
}

std::string reason (int status)
{
    switch (status)
    {
        case 200: return "OK";
        case 301: return "Moved Permanently";
        case 302: return "Found";
        case 404: return "Not Found";
        default: return "Status";
    }
}
}

LocalHttpServer::LocalHttpServer()
{
    listener = ::socket (AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl (INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof (address);
    if (::bind (listener, reinterpret_cast<sockaddr*> (&address), sizeof (address)) == 0
        && ::listen (listener, 16) == 0
        && ::getsockname (listener, reinterpret_cast<sockaddr*> (&address), &length) == 0)
        port = ntohs (address.sin_port);
    acceptor = std::thread ([this] { acceptLoop(); });
}

LocalHttpServer::~LocalHttpServer()
{
    {
        const std::lock_guard<std::mutex> guard (lock);
        stopping = true;
    }
    wake.notify_all();
    acceptor.join();
    for (auto& connection : connections)
        connection.join();
    ::close (listener);
}

std::string LocalHttpServer::getBase() const
{
    return "http://127.0.0.1:" + std::to_string (port);
}

void LocalHttpServer::serve (const std::string& method, const std::string& path, const Reply& reply)
{
    const std::lock_guard<std::mutex> guard (lock);
    replies[method + " " + path] = reply;
}

std::vector<LocalHttpServer::Request> LocalHttpServer::getRequests() const
{
    const std::lock_guard<std::mutex> guard (lock);
    return requests;
}

int LocalHttpServer::countRequests (const std::string& path) const
{
    const std::lock_guard<std::mutex> guard (lock);
    int count = 0;
    for (const auto& request : requests)
        count += request.path == path ? 1 : 0;
    return count;
}

bool LocalHttpServer::isStopping() const
{
    const std::lock_guard<std::mutex> guard (lock);
    return stopping;
}

void LocalHttpServer::acceptLoop()
{
    while (! isStopping())
    {
        pollfd waiting { listener, POLLIN, 0 };
        if (::poll (&waiting, 1, 50) <= 0)
            continue;
        const int socket = ::accept (listener, nullptr, nullptr);
        if (socket < 0)
            continue;
        const std::lock_guard<std::mutex> guard (lock);
        connections.emplace_back ([this, socket] { handle (socket); });
    }
}

bool LocalHttpServer::readRequest (int socket, Request& request)
{
    std::string data;
    size_t headerEnd = std::string::npos;
    size_t bodyLength = 0;
    for (;;)
    {
        if (headerEnd != std::string::npos && data.size() >= headerEnd + 4 + bodyLength)
            break;
        if (isStopping())
            return false;
        pollfd waiting { socket, POLLIN, 0 };
        if (::poll (&waiting, 1, 50) <= 0)
            continue;
        char chunk[4096];
        const auto n = ::recv (socket, chunk, sizeof (chunk), 0);
        if (n <= 0)
            return false;
        data.append (chunk, (size_t) n);

        if (headerEnd == std::string::npos && (headerEnd = data.find ("\r\n\r\n")) != std::string::npos)
        {
            size_t lineStart = 0;
            size_t lineEnd = data.find ("\r\n");
            const auto firstLine = data.substr (0, lineEnd);
            const auto space1 = firstLine.find (' ');
            const auto space2 = firstLine.find (' ', space1 + 1);
            request.method = firstLine.substr (0, space1);
            request.path = firstLine.substr (space1 + 1, space2 - space1 - 1);
            while (lineEnd < headerEnd)
            {
                lineStart = lineEnd + 2;
                lineEnd = data.find ("\r\n", lineStart);
                const auto line = data.substr (lineStart, lineEnd - lineStart);
                const auto colon = line.find (':');
                if (colon == std::string::npos)
                    continue;
                auto value = line.substr (colon + 1);
                value.erase (0, value.find_first_not_of (' '));
                request.headers[lower (line.substr (0, colon))] = value;
            }
            if (auto found = request.headers.find ("content-length"); found != request.headers.end())
                bodyLength = (size_t) std::strtoul (found->second.c_str(), nullptr, 10);
        }
    }
    request.body = data.substr (headerEnd + 4, bodyLength);
    return true;
}

void LocalHttpServer::handle (int socket)
{
    Request request;
    if (readRequest (socket, request))
    {
        Reply reply;
        reply.status = 404;
        reply.body = "not here";
        {
            const std::lock_guard<std::mutex> guard (lock);
            requests.push_back (request);
            if (auto found = replies.find (request.method + " " + request.path); found != replies.end())
                reply = found->second;
        }

        if (reply.stall)
        {
            std::unique_lock<std::mutex> guard (lock);
            wake.wait (guard, [this] { return stopping; });
        }
        else
        {
            std::string head = "HTTP/1.1 " + std::to_string (reply.status) + " " + reason (reply.status) + "\r\n"
                               + "Connection: close\r\n";
            if (reply.withLength)
                head += "Content-Length: "
                        + std::to_string (reply.announcedLength >= 0 ? reply.announcedLength : (long long) reply.body.size())
                        + "\r\n";
            if (! reply.location.empty())
                head += "Location: " + reply.location + "\r\n";
            sendAll (socket, head + "\r\n" + reply.body);
            if (reply.holdOpen)
            {
                std::unique_lock<std::mutex> guard (lock);
                wake.wait (guard, [this] { return stopping; });
            }
        }
    }
    ::shutdown (socket, SHUT_RDWR);
    ::close (socket);
}

UpdateBaseOverride::UpdateBaseOverride (const std::string& base)
{
    if (const auto* value = std::getenv (UpdateEndpoint::environmentVariable))
    {
        hadPrevious = true;
        previous = value;
    }
    setenv (UpdateEndpoint::environmentVariable, base.c_str(), 1);
}

UpdateBaseOverride::~UpdateBaseOverride()
{
    if (hadPrevious)
        setenv (UpdateEndpoint::environmentVariable, previous.c_str(), 1);
    else
        unsetenv (UpdateEndpoint::environmentVariable);
}
}
