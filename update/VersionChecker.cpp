#include "update/VersionChecker.h"

#include "document/XmlFile.h"
#include "update/UpdateEndpoint.h"

namespace
{
// The one place the update code takes the running version from.
const juce::String runningVersion { JUCE_APPLICATION_VERSION_STRING };

// The archive entry of the platform this build runs on.
#if JUCE_WINDOWS
const juce::String archiveOs { "windows" };
#else
const juce::String archiveOs { "linux" };
#endif

constexpr size_t maxOverviewBytes = 1 << 20;

/** A version token's leading decimal integer: blanks skipped, an optional sign, digits up to
    the first other character; 0 without digits. Huge numbers saturate. */
juce::int64 leadingNumber (const juce::String& token)
{
    auto text = token.trimStart();
    bool negative = false;
    if (text.startsWithChar ('-') || text.startsWithChar ('+'))
    {
        negative = text.startsWithChar ('-');
        text = text.substring (1);
    }
    juce::int64 value = 0;
    for (auto c : text)
    {
        if (c < '0' || c > '9')
            break;
        value = juce::jmin ((juce::int64) 1 << 40, value * 10 + (c - '0'));
    }
    return negative ? -value : value;
}

juce::XmlElement* firstChildWithTagIgnoringCase (const juce::XmlElement& parent, const juce::String& tag)
{
    for (auto* child : parent.getChildIterator())
        if (! child->isTextElement() && child->getTagName().equalsIgnoreCase (tag))
            return child;
    return nullptr;
}
}

VersionChecker::VersionChecker() : juce::Thread ("VersionChecker")
{
}

VersionChecker::~VersionChecker()
{
    poster.revoke();
    stop();
}

juce::String VersionChecker::getRunningVersion()
{
    return runningVersion;
}

void VersionChecker::check()
{
    if (isThreadRunning())
        return;
    url = UpdateEndpoint::getOverviewUrl();
    connection.rearm();
    startThread();
}

void VersionChecker::stop()
{
    signalThreadShouldExit();
    connection.cancel();
    // Bounded by the connection's time-out even if the cancel came too late to abort it.
    stopThread (-1);
}

bool VersionChecker::isNewerVersion() const
{
    return isNewerVersion (runningVersion, result.version);
}

bool VersionChecker::isNewerVersion (const juce::String& running, const juce::String& remote)
{
    juce::StringArray ours, theirs;
    ours.addTokens (running, ".", "");
    theirs.addTokens (remote, ".", "");
    for (int i = 0; i < 3; ++i)
    {
        const auto a = leadingNumber (ours[i]);
        const auto b = leadingNumber (theirs[i]);
        if (a != b || i == 2)
            return a < b;
    }
    return false;
}

VersionChecker::VersionCheckResult VersionChecker::readOverview (const juce::String& text, VersionCheckResult r)
{
    const auto root = XmlFile::parse (text);
    if (root == nullptr || ! root->getTagName().equalsIgnoreCase ("data"))
    {
        r.status = error;
        r.message = failedText;
        return r;
    }

    juce::XmlElement* latest = nullptr;
    for (auto* child : root->getChildIterator())
        if (child->getStringAttribute ("latest") == "true")
        {
            latest = child;
            break;
        }
    if (latest == nullptr)
    {
        r.status = error;
        r.message = noLatestText;
        return r;
    }

    r.version = latest->getNumAttributes() > 0 ? latest->getAttributeValue (0) : juce::String();
    if (! isNewerVersion (runningVersion, r.version))
    {
        r.status = upToDate;
        r.message = latestText;
        return r;
    }

    // A newer release without notes or without an archive for this platform, or with an
    // archive address we may not fetch, cannot be offered.
    auto* body = firstChildWithTagIgnoringCase (*latest, "body");
    auto* link = latest->getChildByAttribute ("os", archiveOs);
    const juce::URL url (link != nullptr ? link->getAllSubText().trim() : juce::String());
    if (body == nullptr || link == nullptr || ! UpdateEndpoint::isAllowed (url))
    {
        r.status = error;
        r.message = failedText;
        return r;
    }

    r.status = updateAvailable;
    r.body = body->getAllSubText();
    r.downloadUrl = url;
    return r;
}

void VersionChecker::run()
{
    std::optional<juce::String> text;
    if (connection.open (url, {}))
        text = connection.readText (maxOverviewBytes);
    connection.close();

    if (threadShouldExit())
        return;

    result = readOverview (text.value_or (juce::String()), result);
    poster.post ([this, copy = result]
                 {
                     if (onResult)
                         onResult (copy);
                 });
}
