#include "server/websocket/ConnectionBudget.h"
#include <algorithm>
#include <limits>
#include <sys/resource.h>

std::atomic<int> ConnectionBudget::taken { 0 };
std::atomic<int> ConnectionBudget::refusals { 0 };

namespace
{
constexpr int maxRefusals = 32;
}

int ConnectionBudget::getLimit()
{
    // Read each time: the application raises the limit at start, after which it stays put.
    rlimit limit {};
    if (getrlimit (RLIMIT_NOFILE, &limit) != 0)
        return 1024 - reserve;
    const auto soft = std::min<rlim_t> (limit.rlim_cur, rlim_t (std::numeric_limits<int>::max()));
    return std::max (0, static_cast<int> (soft) - reserve);
}

bool ConnectionBudget::tryTake()
{
    const auto limit = getLimit();
    auto current = taken.load();
    do
    {
        if (current >= limit)
            return false;
    } while (! taken.compare_exchange_weak (current, current + 1));
    return true;
}

void ConnectionBudget::giveBack()
{
    --taken;
}

bool ConnectionBudget::tryTakeRefusal()
{
    auto current = refusals.load();
    do
    {
        if (current >= maxRefusals)
            return false;
    } while (! refusals.compare_exchange_weak (current, current + 1));
    return true;
}

void ConnectionBudget::giveBackRefusal()
{
    --refusals;
}

int ConnectionBudget::getNumTaken()
{
    return taken.load();
}
