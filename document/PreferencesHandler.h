#pragma once

#include <juce_core/juce_core.h>

/** The settings folder and "preferences.xml": the version that last ran, the update version
    the user skipped, and the current document file. Several instances live at once (the
    document data and the update checkers); each change re-reads the file first and applies
    only its own change, so no instance drops what another one wrote. */
class PreferencesHandler
{
public:
    PreferencesHandler();
    virtual ~PreferencesHandler() = default;

    /** "Vantrel" in the user's Documents folder; created when missing. */
    static juce::File getSettingsFolder();
    /** "preferences/preferences.xml" in the settings folder; created empty when missing. */
    static juce::File getPreferencesFile();

    bool save();

    /** The current document file, or an empty File when none is stored or it is not a file. */
    juce::File getLastUsedFile() const;
    void setLastUsedFile (const juce::File& file);

    /** The folder of the last used file, else the settings folder. */
    juce::File getBrowseFolder() const;

    bool isSkippedVersion (const juce::String& version) const;
    bool setSkippedVersion (const juce::String& version);

private:
    std::unique_ptr<juce::XmlElement> preferencesXml;

    void reload();
    bool change (const juce::String& childName, const juce::Identifier& attribute, const juce::String& value);
    juce::XmlElement* findChild (const juce::String& name) const;

    JUCE_DECLARE_NON_COPYABLE (PreferencesHandler)
};
