#pragma once

#include "update/MessagePoster.h"
#include "update/UpdateConnection.h"
#include <juce_core/juce_core.h>
#include <atomic>
#include <functional>

/** Carries out an accepted update on a thread of its own: downloads the archive into memory,
    unpacks it into a new folder of its own inside the user's Downloads folder, starts its
    first entry and asks the application to quit. Progress and the outcome reach the message
    thread through the callbacks. */
class DownloadAndInstallThread : public juce::Thread
{
public:
    static constexpr const char* downloadFailedText = "The download failed. Are you still connected to the Internet?";
    static constexpr const char* notValidText = "The downloaded file was not a valid Vantrel file.";
    static constexpr const char* restartFailedText = "Couldn't restart the application";
    static constexpr const char* cancelledText = "You cancelled the update...";
    static constexpr const char* updateFolderName = "Vantrel update";
    static constexpr juce::int64 maxArchiveBytes = (juce::int64) 256 << 20;
    static constexpr juce::int64 defaultMaxUnpackedBytes = (juce::int64) 1 << 30;

    /** The unpacked archive may write at most maxUnpackedBytes in all. */
    explicit DownloadAndInstallThread (juce::int64 maxUnpackedBytes = defaultMaxUnpackedBytes);
    ~DownloadAndInstallThread() override;

    /** Message thread, once per run: (true, "") once the installer started, or (false, why). */
    std::function<void (bool, juce::String)> onFinished;
    /** Message thread: a step ("Downloading", "Unzipping", "Restarting") and the fraction done. */
    std::function<void (juce::String, float)> onProgress;
    /** Message thread, after the installer started: ends the application. By default the
        application's system quit request. Taken when a run starts. */
    std::function<void()> onQuit;
    /** Worker thread: starts the unpacked program, true when it runs. By default
        Platform::startProgram. Taken when a run starts. */
    std::function<bool (const juce::File&)> programStarter;

    /** Message thread. Downloads and installs from the address; the callbacks are set first. */
    void downloadAndInstall (const juce::URL& address);
    /** Message thread. Reports the cancel and ends the run within one chunk or buffer; nothing
        is started once the cancel is reported. A cancel after the start was decided reports
        nothing: the program starts and the application quits. */
    void cancel();
    /** Message thread. Aborts a run without a report (one that has not decided to start its
        program starts nothing) and waits for the thread to end, which takes milliseconds. */
    void stop();

    juce::File getDownloadsFolder() const { return downloadsFolder; }
    /** The started (or to be started) program; only valid once a run has ended. */
    juce::File getInstaller() const { return installer; }

    void run() override;

private:
    juce::URL url;
    const juce::File downloadsFolder;
    const juce::int64 maxUnpackedBytes;
    juce::File installer;
    juce::String error;
    std::function<void()> quitAction;
    std::function<bool (const juce::File&)> starter;
    // Taken by whichever decides the run's end first: a cancel or stop (nothing starts), or the
    // run itself (a failure, or the decision to start the program). The owner hears exactly
    // one outcome per run.
    std::atomic<bool> reported { true };
    UpdateConnection connection;
    MessagePoster poster;

    juce::String download (juce::MemoryBlock& block);
    juce::String unzip (const juce::MemoryBlock& block);
    juce::String unpackEntry (juce::ZipFile& zip, int index, const juce::File& folder, juce::int64& written);
    juce::String restart();

    void postProgress (const juce::String& step, float fraction);
    /** Reports the run's end unless a cancel or stop already decided it. */
    void postFinished (bool ok, const juce::String& message);
    void postReport (bool ok, const juce::String& message);

    JUCE_DECLARE_NON_COPYABLE (DownloadAndInstallThread)
};
