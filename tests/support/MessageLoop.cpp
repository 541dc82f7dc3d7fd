#include "support/MessageLoop.h"

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
}
