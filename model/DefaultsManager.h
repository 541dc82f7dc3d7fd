#pragma once

#include <juce_data_structures/juce_data_structures.h>

/** The application-wide defaults, kept in "defaults.xml" beside the preferences file and
    rewritten at every change. At present one value: the default frame rate. */
class DefaultsManager : private juce::ValueTree::Listener
{
public:
    struct Listener
    {
        virtual ~Listener() = default;
        virtual void defaultFpsChanged() = 0;
    };

    /** The rate used in arithmetic when a stored rate is missing, zero or negative. */
    static constexpr int fallbackFps = 30;

    /** A stored rate as it may enter a division: rates above 0 as they are, others 30. */
    static int usableFps (int fps) { return fps > 0 ? fps : fallbackFps; }

    DefaultsManager();
    ~DefaultsManager() override;

    /** The stored "fps", 0 when missing; shown as stored. Use usableFps() before computing. */
    int getDefaultFps() const;
    /** Opens "Set Default Fps" and sets "fps" through the undo manager. */
    void setDefaultFps (int fps);

    void save();
    juce::File getSettingsFile() const { return settingsFile; }
    juce::ValueTree getState() const { return tree; }

    void addListener (Listener* l) { listeners.add (l); }
    void removeListener (Listener* l) { listeners.remove (l); }

private:
    juce::ValueTree tree;
    juce::ListenerList<Listener> listeners;
    juce::File settingsFile;

    void valueTreePropertyChanged (juce::ValueTree&, const juce::Identifier& property) override;

    JUCE_DECLARE_NON_COPYABLE (DefaultsManager)
};
