#pragma once

#include <atomic>

/** The process's share of descriptors for network connections, counted over every server:
    the soft limit of open descriptors less a reserve for files, audio and autosave. A server
    takes one unit per accepted connection and gives it back when the connection closes. */
class ConnectionBudget
{
public:
    /** Descriptors kept back from the connections of all servers together. */
    static constexpr int reserve = 128;

    /** Takes one unit; false when the connections of all servers already use the budget. */
    static bool tryTake();
    static void giveBack();

    /** A few refused connections may stay open just long enough to be told so. */
    static bool tryTakeRefusal();
    static void giveBackRefusal();

    /** Connections open now, over all servers. */
    static int getNumTaken();

    ConnectionBudget() = delete;

private:
    static int getLimit();
    static std::atomic<int> taken;
    static std::atomic<int> refusals;
};
