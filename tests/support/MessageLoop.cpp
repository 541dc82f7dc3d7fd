#include "support/MessageLoop.h"

#include <atomic>
#include <memory>

namespace test
{
bool pumpUntil (const std::function<bool()>& condition, int timeoutMs)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
    while (! condition())
    {
        if (juce::Time::getMillisecondCounterHiRes() >= end)
            return condition();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
    }
    return true;
}

void pumpFor (int milliseconds)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + milliseconds;
    while (juce::Time::getMillisecondCounterHiRes() < end)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
}

bool settle (int rounds, int timeoutMs)
{
    for (int i = 0; i < rounds; ++i)
    {
        // A marker posted now runs after everything queued before it.
        auto reached = std::make_shared<std::atomic<bool>> (false);
        juce::MessageManager::callAsync ([reached] { *reached = true; });
        if (! pumpUntil ([&] { return reached->load(); }, timeoutMs))
            return false;
    }
    return true;
}
}
