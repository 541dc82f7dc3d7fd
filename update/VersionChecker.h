#pragma once

#include "update/MessagePoster.h"
#include "update/UpdateConnection.h"
#include <juce_core/juce_core.h>
#include <functional>

/** Asks the update service for its version overview on a thread of its own and hands the
    outcome to the message thread. It shows nothing itself. */
class VersionChecker : public juce::Thread
{
public:
    struct VersionCheckResult
    {
        juce::int32 status = 0; // 0 update available, 1 up to date, 2 error
        juce::String message;   // for the user (statuses 1 and 2)
        juce::String version;   // the newest release's version, when the overview names one
        juce::String body;      // release notes (status 0)
        juce::URL downloadUrl;  // the archive (status 0)
    };

    enum Status : juce::int32
    {
        updateAvailable = 0,
        upToDate = 1,
        error = 2
    };

    static constexpr const char* failedText = "I couldn't get the latest update info...";
    static constexpr const char* noLatestText = "There doesn't seem to be any latest version available. Like, at all...";
    static constexpr const char* latestText = "You're running the latest version... ";

    VersionChecker();
    ~VersionChecker() override;

    /** The version of this program. */
    static juce::String getRunningVersion();

    /** Called on the message thread after each run; read when the result arrives, so a change
        while a check runs applies to that check's report. */
    std::function<void (VersionCheckResult)> onResult;

    /** Message thread. Starts a check unless one is running. */
    void check();
    /** Message thread. Aborts a check under way and waits for the thread to end; a queued
        report is dropped only by destroying this object. */
    void stop();

    /** True when the last run's version is newer than the running one. */
    bool isNewerVersion() const;
    /** Compares major, minor and patch only; the build number never counts. */
    static bool isNewerVersion (const juce::String& running, const juce::String& remote);

    /** Reads an overview text into a result. */
    static VersionCheckResult readOverview (const juce::String& text, VersionCheckResult result);

    void run() override;

private:
    VersionCheckResult result;
    juce::URL url; // taken on the message thread before each start
    UpdateConnection connection;
    MessagePoster poster;

    JUCE_DECLARE_NON_COPYABLE (VersionChecker)
};
