#pragma once

#include "document/PreferencesHandler.h"
#include "update/DownloadAndInstallThread.h"
#include "update/VersionChecker.h"
#include "update/WebRequest.h"
#include <memory>

/** Turns a version check into what the user sees: nothing, an "All good!" note, an error,
    or the "Update available!" prompt, whose OK downloads and installs behind the progress
    dialog and whose Skip stores the version so that silent checks stop offering it. A silent
    check speaks only about a new version that was not skipped; a manual one always answers. */
class UpdateChecker
{
public:
    static constexpr const char* checkFailedTitle = "Something went wrong";
    static constexpr const char* downloadFailedTitle = "Something went wrong...";
    static constexpr const char* updateTitle = "Update available!";
    static constexpr const char* upToDateTitle = "All good!";

    UpdateChecker();
    ~UpdateChecker();

    /** Message thread. Starts a check unless one runs; either way the report is handled with
        this call's flag. */
    void checkForUpdates (bool silent);

    void handleVersionCheckResult (bool silent, const VersionChecker::VersionCheckResult& result);
    void handleUpdatePromptResult (const VersionChecker::VersionCheckResult& result, int buttonIndex);
    /** The up-to-date note: the check's message and the service's short text, when it came. */
    void showUpToDateMessage (const VersionChecker::VersionCheckResult& result, bool replied, const juce::String& reply);

    bool isChecking() const { return versionChecker.isThreadRunning(); }
    DownloadAndInstallThread& getDownloadThread() { return downloadThread; }

private:
    PreferencesHandler preferences;
    VersionChecker versionChecker;
    DownloadAndInstallThread downloadThread;
    WebRequest webRequest;

    bool progressShown = false; // this checker opened the progress dialog that is up
    void closeProgress();

    // Dialog callbacks hold a weak reference: a prompt answered after this checker went does nothing.
    JUCE_DECLARE_WEAK_REFERENCEABLE (UpdateChecker)
    JUCE_DECLARE_NON_COPYABLE (UpdateChecker)
};
