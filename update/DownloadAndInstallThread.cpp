#include "update/DownloadAndInstallThread.h"

#include "platform/Platform.h"

namespace
{
constexpr int chunkBytes = 8192;

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
    signalThreadShouldExit();
    connection.cancel();
    stopThread (-1);
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
    if (reported.exchange (true))
        return;
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

    // The block always holds room for the next chunk before it is read, whether or not the
    // reply announced its length, and a reply never adds more than it announced.
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
            block.setSize ((size_t) (total >= 0 ? total : juce::jmax (received + chunk, (juce::int64) block.getSize() * 2)));

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

    // Checked before anything is written: an archive with one bad entry is refused whole.
    const auto probe = downloadsFolder.getChildFile (updateFolderName);
    juce::int64 unpacked = 0;
    for (int i = 0; i < zip.getNumEntries(); ++i)
    {
        const auto* entry = zip.getEntry (i);
        unpacked += juce::jmax ((juce::int64) 0, entry->uncompressedSize);
        if (! isSafeEntry (*entry, probe) || unpacked > maxUnpackedBytes)
            return notValidText;
    }

    // A folder of its own: nothing the user keeps in Downloads is overwritten.
    downloadsFolder.createDirectory();
    auto folder = downloadsFolder.getChildFile (updateFolderName);
    for (int n = 2; folder.exists(); ++n)
        folder = downloadsFolder.getChildFile (juce::String (updateFolderName) + " (" + juce::String (n) + ")");
    if (const auto made = folder.createDirectory(); made.failed())
        return made.getErrorMessage();

    for (int i = 0; i < zip.getNumEntries(); ++i)
    {
        if (threadShouldExit())
            return {};
        const auto result = zip.uncompressEntry (i, folder, juce::ZipFile::OverwriteFiles::yes,
                                                 juce::ZipFile::FollowSymlinks::no);
        if (result.failed())
            return result.getErrorMessage();
    }

    installer = folder.getChildFile (zip.getEntry (0)->filename.replaceCharacter ('\\', '/'));
    return {};
}

juce::String DownloadAndInstallThread::restart()
{
    postProgress ("Restarting", 1.0f);

    if (! installer.existsAsFile())
        return restartFailedText;
    // Archives do not reliably carry the executable bit.
    installer.setExecutePermission (true);
    if (threadShouldExit())
        return {};
    if (! starter || ! starter (installer))
        return restartFailedText;

    postFinished (true, {});
    // Not tied to this object: the installer runs, so the application quits even when the
    // panel that started the update has closed meanwhile.
    if (quitAction)
        juce::MessageManager::callAsync (quitAction);
    return {};
}
