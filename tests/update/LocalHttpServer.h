#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test
{
/** A small HTTP/1.1 server on 127.0.0.1 inside the test process, for the update code. It
    answers each request with the reply set for its method and path (404 otherwise), logs
    every request, and can stall, leave out the length, send less than it announced (and
    close, or keep the connection open) or redirect. Each connection is answered once and closed. */
class LocalHttpServer
{
public:
    struct Reply
    {
        Reply() = default;
        Reply (int statusCode, std::string content) : status (statusCode), body (std::move (content)) {}

        int status = 200;
        std::string body;
        bool withLength = true;            // a Content-Length header
        long long announcedLength = -1;    // announced instead of the body's size when >= 0
        std::string location;              // a Location header
        bool stall = false;                // read the request, then answer nothing until stopped
        bool holdOpen = false;             // after the body, keep the connection open until stopped
    };

    struct Request
    {
        std::string method, path, body;
        std::map<std::string, std::string> headers; // names in lower case
    };

    LocalHttpServer();
    ~LocalHttpServer();

    int getPort() const { return port; }
    /** "http://127.0.0.1:<port>" */
    std::string getBase() const;

    void serve (const std::string& method, const std::string& path, const Reply& reply);
    std::vector<Request> getRequests() const;
    /** How many requests for the path arrived (any method). */
    int countRequests (const std::string& path) const;

private:
    int listener = -1;
    int port = 0;
    bool stopping = false;
    mutable std::mutex lock;
    std::condition_variable wake;
    std::map<std::string, Reply> replies;
    std::vector<Request> requests;
    std::vector<std::thread> connections;
    std::thread acceptor;

    void acceptLoop();
    void handle (int socket);
    bool readRequest (int socket, Request& request);
    bool isStopping() const;
};

/** Routes every request of the update code to this server for the life of the object. */
class UpdateBaseOverride
{
public:
    explicit UpdateBaseOverride (const std::string& base);
    ~UpdateBaseOverride();

private:
    std::string previous;
    bool hadPrevious = false;
};
}
