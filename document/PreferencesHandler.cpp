#include "document/PreferencesHandler.h"

#include "platform/Platform.h"
#include "document/XmlFile.h"

namespace
{
const juce::String appVersion { JUCE_APPLICATION_VERSION_STRING };
}

PreferencesHandler::PreferencesHandler()
{
    reload();
    if (auto* app = findChild ("app"); app == nullptr || app->getStringAttribute ("version") != appVersion)
        change ("app", "version", appVersion);
}

juce::File PreferencesHandler::getSettingsFolder()
{
    auto folder = Platform::getSettingsFolder();
    folder.createDirectory();
    return folder;
}

juce::File PreferencesHandler::getPreferencesFile()
{
    auto file = getSettingsFolder().getChildFile ("preferences/preferences.xml");
    if (! file.existsAsFile())
        file.create();
    return file;
}

void PreferencesHandler::reload()
{
    preferencesXml = XmlFile::read (getPreferencesFile());
    if (preferencesXml == nullptr)
        preferencesXml = std::make_unique<juce::XmlElement> ("preferences");
}

bool PreferencesHandler::save()
{
    return XmlFile::write (*preferencesXml, getPreferencesFile());
}

juce::XmlElement* PreferencesHandler::findChild (const juce::String& name) const
{
    for (auto* child : preferencesXml->getChildIterator())
        if (child->hasTagName (name))
            return child;
    return nullptr;
}

bool PreferencesHandler::change (const juce::String& childName, const juce::Identifier& attribute, const juce::String& value)
{
    // Another instance may have written since this one last read: start from the file.
    reload();
    auto* child = findChild (childName);
    if (child == nullptr)
        child = preferencesXml->createNewChildElement (childName);
    child->setAttribute (attribute, value);
    return save();
}

juce::File PreferencesHandler::getLastUsedFile() const
{
    if (auto* child = findChild ("lastusedfile"))
    {
        const auto path = child->getStringAttribute ("fullpathname");
        if (juce::File::isAbsolutePath (path))
            if (juce::File file (path); file.existsAsFile())
                return file;
    }
    return {};
}

void PreferencesHandler::setLastUsedFile (const juce::File& file)
{
    change ("lastusedfile", "fullpathname", file.getFullPathName());
}

juce::File PreferencesHandler::getBrowseFolder() const
{
    const auto file = getLastUsedFile();
    return file == juce::File() ? getSettingsFolder() : file.getParentDirectory();
}

bool PreferencesHandler::isSkippedVersion (const juce::String& version) const
{
    if (auto* child = findChild ("skip"))
        return child->hasAttribute ("version") && child->getStringAttribute ("version") == version;
    return false;
}

bool PreferencesHandler::setSkippedVersion (const juce::String& version)
{
    return change ("skip", "version", version);
}
