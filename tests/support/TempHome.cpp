#include "support/TempHome.h"
#include <cstdlib>
#include <unistd.h>

namespace test
{
TempHome::TempHome()
{
    // Test processes run in parallel: the name must be unique across processes, not just
    // within this one. The temporary folder follows TMPDIR.
    auto pattern = juce::File::getSpecialLocation (juce::File::tempDirectory)
                       .getChildFile ("vantrel-home-XXXXXX").getFullPathName().toStdString();
    if (auto* made = mkdtemp (pattern.data()))
        home = juce::File (made);
    jassert (home.isDirectory());

    if (auto* old = std::getenv ("HOME"))
    {
        hadHome = true;
        previousHome = old;
    }
    setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
    // The XDG lookups must read the temporary home's (absent) configuration.
    unsetenv ("XDG_CONFIG_HOME");
}

TempHome::~TempHome()
{
    if (hadHome)
        setenv ("HOME", previousHome.toRawUTF8(), 1);
    else
        unsetenv ("HOME");
    home.deleteRecursively();
}

juce::File TempHome::getDocuments() const { return home.getChildFile ("Documents"); }
juce::File TempHome::getSettingsFolder() const { return getDocuments().getChildFile ("Vantrel"); }
juce::File TempHome::getPreferencesFolder() const { return getSettingsFolder().getChildFile ("preferences"); }

juce::String readBytes (const juce::File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData (block);
    return block.toString();
}
}
