#include "time/InternalClockReader.h"

InternalClockReader::InternalClockReader (Clock c)
    : clock (c ? std::move (c) : Clock ([] { return juce::Time::getCurrentTime(); }))
{
    // The rate is in place before the first tick can be read with it.
    fps = 1000;
    startTimer (10);
}

InternalClockReader::~InternalClockReader()
{
    stop();
}

void InternalClockReader::stop()
{
    stopTimer();
}

double InternalClockReader::millisOfDay (juce::Time time)
{
    const auto epochMillis = time.toMilliseconds();
    const auto second = (int) ((epochMillis / 1000) % 60);
    const auto millisecond = (int) (epochMillis % 1000);
    return ((time.getHours() * 60 + time.getMinutes()) * 60 + second) * 1000.0 + millisecond;
}

void InternalClockReader::hiResTimerCallback()
{
    millis = millisOfDay (clock());
    callTimeChanged();
}
