#pragma once

#include <juce_events/juce_events.h>
#include <functional>

namespace test
{
/** Runs the message loop until the condition holds or the time is up.
    Returns whether the condition held. Never sleeps blindly: the loop wakes for every message. */
bool pumpUntil (const std::function<bool()>& condition, int timeoutMs = 5000);

/** Runs the message loop for the given time, delivering everything that is due. */
void pumpFor (int milliseconds);

/** Delivers every message queued now, then what those post in turn, rounds deep: a chain of
    posted reactions finishes however slowly the machine runs. False after the time-out. */
bool settle (int rounds = 4, int timeoutMs = 5000);
}
