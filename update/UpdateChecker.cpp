#include "update/UpdateChecker.h"

#include "ui/kit/DialogPresenter.h"
#include "ui/kit/ProgressDialogComponent.h"
#include "update/UpdateEndpoint.h"

UpdateChecker::UpdateChecker() = default;

UpdateChecker::~UpdateChecker()
{
    // Before the progress dialog closes below: its callback must find this checker gone.
    masterReference.clear();
    // Requests are aborted and their threads joined, never killed; queued reports are dropped
    // when the members go.
    webRequest.stop();
    downloadThread.stop();
    versionChecker.stop();
    closeProgress();
}

void UpdateChecker::checkForUpdates (bool silent)
{
    versionChecker.onResult = [this, silent] (VersionChecker::VersionCheckResult result)
    { handleVersionCheckResult (silent, result); };
    versionChecker.check();
}

void UpdateChecker::handleVersionCheckResult (bool silent, const VersionChecker::VersionCheckResult& result)
{
    switch (result.status)
    {
        case VersionChecker::upToDate:
            if (silent)
                return;
            webRequest.onResponse = [this, result] (bool replied, juce::String reply)
            { showUpToDateMessage (result, replied, reply); };
            webRequest.request (UpdateEndpoint::getMessageUrl());
            return;

        case VersionChecker::updateAvailable:
        {
            if (silent && preferences.isSkippedVersion (result.version))
                return;
            auto callback = juce::ModalCallbackFunction::create (
                [self = juce::WeakReference<UpdateChecker> (this), result] (int index)
                {
                    if (self != nullptr)
                        self->handleUpdatePromptResult (result, index);
                });
            DialogPresenter::getInstance()->show (
                updateTitle, result.body + "\n" + "Would you like to download and install version " + result.version + "?",
                { "OK", "Cancel", "Skip" }, callback);
            return;
        }

        case VersionChecker::error:
        default:
            if (! silent)
                DialogPresenter::getInstance()->show (checkFailedTitle, result.message, { "OK" });
            return;
    }
}

void UpdateChecker::handleUpdatePromptResult (const VersionChecker::VersionCheckResult& result, int buttonIndex)
{
    if (buttonIndex == 2)
    {
        // The handler reads the file again before it writes, so nothing another instance
        // stored meanwhile (the current document) is lost.
        preferences.setSkippedVersion (result.version);
        return;
    }
    if (buttonIndex != 0)
        return;

    downloadThread.onFinished = [this] (bool ok, juce::String message)
    {
        closeProgress();
        if (! ok)
            DialogPresenter::getInstance()->show (downloadFailedTitle, message, { "OK" });
    };
    downloadThread.onProgress = [] (juce::String step, float fraction)
    { ProgressDialogComponent::setProgress (step, (double) fraction); };
    downloadThread.downloadAndInstall (result.downloadUrl);

    ProgressDialogComponent::open (juce::ModalCallbackFunction::create (
        [self = juce::WeakReference<UpdateChecker> (this)] (int modalResult)
        {
            if (self == nullptr)
                return;
            if (modalResult == 0)
            {
                self->progressShown = false;
                self->downloadThread.cancel();
            }
        }));
    progressShown = true;
}

void UpdateChecker::showUpToDateMessage (const VersionChecker::VersionCheckResult& result, bool replied,
                                         const juce::String& reply)
{
    // The service's reply is quoted and ends in a line break: its inside is what we show.
    // Without a reply the message stands alone.
    auto text = result.message;
    if (replied && reply.length() >= 5)
        text += reply.substring (1, reply.length() - 3);
    DialogPresenter::showAsync (upToDateTitle, text, { "OK" });
}

void UpdateChecker::closeProgress()
{
    if (progressShown)
    {
        progressShown = false;
        ProgressDialogComponent::close();
    }
}
