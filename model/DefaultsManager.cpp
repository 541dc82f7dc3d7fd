#include "model/DefaultsManager.h"

#include "document/AppData.h"
#include "document/Identifiers.h"
#include "document/PreferencesHandler.h"
#include "document/XmlFile.h"

DefaultsManager::DefaultsManager()
    : settingsFile (PreferencesHandler::getPreferencesFile().getParentDirectory().getChildFile ("defaults.xml"))
{
    // An empty, truncated or foreign-format file reads as missing and is made again.
    if (auto xml = XmlFile::read (settingsFile))
        tree = juce::ValueTree::fromXml (*xml);

    if (! tree.isValid())
    {
        tree = juce::ValueTree (IDs::Defaults);
        tree.setProperty (IDs::fps, fallbackFps, nullptr);
        save();
    }

    tree.addListener (this);
}

DefaultsManager::~DefaultsManager()
{
    tree.removeListener (this);
}

int DefaultsManager::getDefaultFps() const
{
    return static_cast<int> (tree[IDs::fps]);
}

void DefaultsManager::setDefaultFps (int fps)
{
    auto* um = AppData::getUndoManager();
    if (um != nullptr)
        um->beginNewTransaction ("Set Default Fps");
    tree.setProperty (IDs::fps, fps, um);
}

void DefaultsManager::save()
{
    if (auto xml = tree.createXml())
        XmlFile::write (*xml, settingsFile);
}

void DefaultsManager::valueTreePropertyChanged (juce::ValueTree&, const juce::Identifier& property)
{
    if (property == IDs::fps)
        listeners.call ([] (Listener& l) { l.defaultFpsChanged(); });
    save();
}
