#include "document/AppData.h"
#include "document/Identifiers.h"

AppData::AppData() : FileLess ("0.0.4")
{
    if (! root.isValid() || root.getNumChildren() == 0)
    {
        juce::ValueTree fresh (IDs::Vantrel);
        fresh.setProperty (IDs::version, JUCE_APPLICATION_VERSION_STRING, nullptr);
        fresh.appendChild (juce::ValueTree (IDs::Settings), nullptr);
        fresh.appendChild (juce::ValueTree (IDs::CueLists), nullptr);
        fresh.appendChild (juce::ValueTree (IDs::Servers).setProperty (IDs::IP, "0.0.0.0", nullptr), nullptr);
        fresh.appendChild (juce::ValueTree (IDs::Categories), nullptr);
        fresh.appendChild (juce::ValueTree (IDs::ColorMask), nullptr);
        replaceRoot (fresh);
    }
}
