#pragma once

#include <juce_core/juce_core.h>

namespace test
{
/** Points HOME at a fresh temporary folder for the life of the object, so settings and
    documents never touch the real user's files. The folder is deleted afterwards. */
class TempHome
{
public:
    TempHome();
    ~TempHome();

    juce::File getHome() const { return home; }
    /** The user's Documents folder inside the temporary home (not created). */
    juce::File getDocuments() const;
    /** The application's settings folder ("Vantrel" in Documents) and its "preferences" subfolder. */
    juce::File getSettingsFolder() const;
    juce::File getPreferencesFolder() const;

private:
    juce::File home;
    juce::String previousHome;
    bool hadHome = false;

    JUCE_DECLARE_NON_COPYABLE (TempHome)
};

/** Reads a file's bytes as they are (no line-end conversion). */
juce::String readBytes (const juce::File& file);
}
