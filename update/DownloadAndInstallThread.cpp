#include "update/DownloadAndInstallThread.h"

#include "platform/Platform.h"

namespace
{
constexpr int chunkBytes = 8192;
// What the unpacking reads and writes at a time: small enough that a cancel is seen within
// a few milliseconds, large enough that the writes stay cheap.
constexpr int unpackBufferBytes = 64 * 1024;
// How long stopping waits for the thread. The run looks at the exit request after every
// download chunk and every unpacked buffer, and stopping aborts the request under way, so it
// ends within milliseconds; an abort the network library missed still ends at the request's
// time-out. The bound is twice that.
constexpr int stopTimeoutMs = 2 * UpdateConnection::timeoutMs;

/** An entry that may be unpacked into the folder: a plain file or folder whose path stays
    inside it. */
bool isSafeEntry (const juce::ZipFile::ZipEntry& entry, const juce::File& folder)
{
    if (entry.isSymbolicLink)
        return false;
    const auto path = entry.filename.replaceCharacter ('\\', '/');
    if (path.startsWithChar ('/'))
        return false;
    juce::StringArray parts;
    parts.addTokens (path, "/", "");
    if (parts.contains (".."))
        return false;
    return path.isEmpty() || folder.getChildFile (path).isAChildOf (folder);
}

/** True when a folder between the file and the unpacking folder is a symbolic link. */
bool passesThroughLink (const juce::File& file, const juce::File& folder)
{
    for (auto p = file.getParentDirectory(); p != folder && p.isAChildOf (folder); p = p.getParentDirectory())
        if (p.isSymbolicLink())
            return true;
    return false;
}
}

DownloadAndInstallThread::DownloadAndInstallThread (juce::int64 maxUnpacked)
    : juce::Thread ("Download Install Thread"),
      downloadsFolder (Platform::getDownloadsFolder()),
      maxUnpackedBytes (maxUnpacked)
{
    programStarter = [] (const juce::File& program) { return Platform::startProgram (program); };
    onQuit = []
    {
        if (auto* app = juce::JUCEApplicationBase::getInstance())
            app->systemRequestedQuit();
    };
}

DownloadAndInstallThread::~DownloadAndInstallThread()
{
    poster.revoke();
    stop();
}

void DownloadAndInstallThread::downloadAndInstall (const juce::URL& address)
{
    // A run that is still ending (it has reported) must be gone before the next one starts.
    stop();
    url = address;
    quitAction = onQuit;
    starter = programStarter;
    installer = juce::File();
    error = {};
    reported = false;
    connection.rearm();
    startThread();
}

void DownloadAndInstallThread::cancel()
{
    if (! reported.exchange (true))
        poster.post ([this]
                     {
                         if (onFinished)
                             onFinished (false, cancelledText);
                     });
    signalThreadShouldExit();
    connection.cancel();
}

void DownloadAndInstallThread::stop()
{
    // A run that has not decided to start its program yet no longer will.
    reported = true;
    signalThreadShouldExit();
    connection.cancel();
    if (waitForThreadToExit (stopTimeoutMs))
        return;
    // Only a system call that hangs far beyond the time-out gets here (a disk that stopped
    // answering a write). The thread still uses this object, so it can neither be freed under
    // it nor killed: waiting on is the one safe choice.
    jassertfalse;
    waitForThreadToExit (-1);
}

void DownloadAndInstallThread::postProgress (const juce::String& step, float fraction)
{
    poster.post ([this, step, fraction]
                 {
                     if (onProgress)
                         onProgress (step, fraction);
                 });
}

void DownloadAndInstallThread::postFinished (bool ok, const juce::String& message)
{
    if (! reported.exchange (true))
        postReport (ok, message);
}

void DownloadAndInstallThread::postReport (bool ok, const juce::String& message)
{
    poster.post ([this, ok, message]
                 {
                     if (onFinished)
                         onFinished (ok, message);
                 });
}

void DownloadAndInstallThread::run()
{
    juce::MemoryBlock block;
    error = download (block);
    if (error.isEmpty() && ! threadShouldExit())
    {
        error = unzip (block);
        if (error.isEmpty() && ! threadShouldExit())
            error = restart();
    }
    if (error.isNotEmpty() && ! threadShouldExit())
        postFinished (false, error);
}

juce::String DownloadAndInstallThread::download (juce::MemoryBlock& block)
{
    UpdateConnection::Options options;
    options.extraHeaders = "Accept: application/octet-stream";
    options.maxRedirects = 1;
    if (! connection.open (url, options) || connection.getStatusCode() != 200)
    {
        connection.close();
        return downloadFailedText;
    }

    const auto total = connection.getTotalLength();
    if (total > maxArchiveBytes)
    {
        connection.close();
        return downloadFailedText;
    }

    // The block holds room for the next chunk before it is read. It grows with what arrived,
    // doubling so that it is copied seldom, never past the announced length or the limit: an
    // announced length alone allocates nothing.
    const auto most = total >= 0 ? total : maxArchiveBytes;
    juce::int64 received = 0;
    while (! threadShouldExit())
    {
        juce::int64 chunk = chunkBytes;
        if (total >= 0)
        {
            if (received >= total)
                break;
            chunk = juce::jmin (total - received, chunk);
        }
        if (received + chunk > maxArchiveBytes)
        {
            connection.close();
            return downloadFailedText;
        }
        if ((juce::int64) block.getSize() < received + chunk)
            block.setSize ((size_t) juce::jmin (most, juce::jmax (received + chunk, (juce::int64) block.getSize() * 2)));

        const int got = connection.read (static_cast<char*> (block.getData()) + received, (int) chunk);
        if (got <= 0)
            break;
        received += got;
        postProgress ("Downloading", total > 0 ? (float) ((double) received / (double) total) : 0.0f);
    }

    const bool complete = total >= 0 ? received == total : ! connection.failed();
    connection.close();
    if (threadShouldExit())
        return {};
    if (! complete)
        return downloadFailedText;
    block.setSize ((size_t) received);
    return {};
}

juce::String DownloadAndInstallThread::unzip (const juce::MemoryBlock& block)
{
    postProgress ("Unzipping", 1.0f);

    juce::MemoryInputStream input (block, false);
    juce::ZipFile zip (input);
    if (zip.getNumEntries() == 0)
        return notValidText;

    // Checked before anything is written: an archive with one bad entry, or sizes that add up
    // to more than the limit, is refused whole.
    const auto probe = downloadsFolder.getChildFile (updateFolderName);
    juce::int64 declared = 0;
    for (int i = 0; i < zip.getNumEntries(); ++i)
    {
        const auto* entry = zip.getEntry (i);
        declared += juce::jmax ((juce::int64) 0, entry->uncompressedSize);
        if (! isSafeEntry (*entry, probe) || declared > maxUnpackedBytes)
            return notValidText;
    }

    // A folder of its own: nothing the user keeps in Downloads is overwritten.
    downloadsFolder.createDirectory();
    auto folder = downloadsFolder.getChildFile (updateFolderName);
    for (int n = 2; folder.exists(); ++n)
        folder = downloadsFolder.getChildFile (juce::String (updateFolderName) + " (" + juce::String (n) + ")");
    if (const auto made = folder.createDirectory(); made.failed())
        return made.getErrorMessage();

    juce::int64 written = 0;
    for (int i = 0; i < zip.getNumEntries(); ++i)
    {
        const auto failure = unpackEntry (zip, i, folder, written);
        if (failure.isNotEmpty() || threadShouldExit())
        {
            // Half an update is of no use: an unpacking that did not finish leaves nothing.
            folder.deleteRecursively();
            return threadShouldExit() ? juce::String() : failure;
        }
    }

    installer = folder.getChildFile (zip.getEntry (0)->filename.replaceCharacter ('\\', '/'));
    return {};
}

juce::String DownloadAndInstallThread::unpackEntry (juce::ZipFile& zip, int index, const juce::File& folder,
                                                    juce::int64& written)
{
    const auto& entry = *zip.getEntry (index);
    const auto path = entry.filename.replaceCharacter ('\\', '/');
    if (path.isEmpty())
        return {};
    const auto target = folder.getChildFile (path);
    // The folder is new and nothing here makes links, but another program might have.
    if (passesThroughLink (target, folder))
        return "Parent directory leads through symlink for target file: " + target.getFullPathName();
    if (path.endsWithChar ('/'))
        return target.createDirectory().getErrorMessage();
    if (const auto made = target.getParentDirectory().createDirectory(); made.failed())
        return made.getErrorMessage();

    const juce::String writeFailed = "Failed to write to target file: " + target.getFullPathName();
    std::unique_ptr<juce::InputStream> in (zip.createStreamForEntry (index));
    if (in == nullptr)
        return "Failed to open the zip file for reading";
    // A later entry of the same name replaces the earlier one.
    if (target.exists() && ! target.deleteFile())
        return writeFailed;
    juce::FileOutputStream out (target);
    if (out.failedToOpen())
        return writeFailed;

    // The sizes in the archive are only claims: an entry writes no more than it declared,
    // and the archive no more than the limit, counted in what is really written.
    const auto allowed = juce::jmin (juce::jmax ((juce::int64) 0, entry.uncompressedSize), maxUnpackedBytes - written);
    juce::HeapBlock<char> buffer (unpackBufferBytes);
    juce::int64 entryBytes = 0;
    while (! threadShouldExit())
    {
        const int got = in->read (buffer.get(), unpackBufferBytes);
        if (got <= 0)
            break;
        entryBytes += got;
        if (entryBytes > allowed)
            return notValidText;
        if (! out.write (buffer.get(), (size_t) got))
            return writeFailed;
    }
    written += entryBytes;
    out.flush();
    if (out.getStatus().failed())
        return writeFailed;
    target.setLastModificationTime (entry.fileTime);
    return {};
}

juce::String DownloadAndInstallThread::restart()
{
    postProgress ("Restarting", 1.0f);

    if (! installer.existsAsFile())
        return restartFailedText;
    // Archives do not reliably carry the executable bit.
    installer.setExecutePermission (true);

    // The run's one decision: a cancel or stop that came first means nothing starts. Once the
    // run holds it, a cancel reports nothing and the start goes ahead, so the user sees either
    // the cancel message or the program and the quit, never both.
    if (reported.exchange (true))
        return {};
    if (! starter || ! starter (installer))
    {
        postReport (false, restartFailedText);
        return {};
    }

    postReport (true, {});
    // Not tied to this object: the installer runs, so the application quits even when the
    // panel that started the update has closed meanwhile.
    if (quitAction)
        juce::MessageManager::callAsync (quitAction);
    return {};
}
