#pragma once

#include <juce_data_structures/juce_data_structures.h>
#include <memory>

// Only named here: a file that reaches into a manager includes that manager's header.
class ActiveCueListHandler;
class AppData;
class CategoryManager;
class ColorMask;
class CueListManager;
class DefaultsManager;
class LiveWaveform;
class ServerManager;
class TimeManager;

/** Builds, owns and connects the show model for the life of the process, and carries the
    document commands. Views reach the managers through its public fields. */
class VantrelController
{
public:
    struct Listener
    {
        virtual ~Listener() = default;
        /** The current document was replaced or given a new name. */
        virtual void documentChanged() = 0;
        /** False on every change of the document, then the result of each autosave. */
        virtual void documentSaveStateChanged (bool /*saved*/) {}
    };

    VantrelController();
    ~VantrelController();

    void addListener (Listener* listener) { listeners.add (listener); }
    void removeListener (Listener* listener) { listeners.remove (listener); }

    void newDocument();
    void openDocument();
    void saveDocumentAs (const juce::String& name);
    void undo();
    void redo();

    /** The current document file's name without extension; empty when there is none. */
    juce::String getDocumentName() const;

    /** The name shown for a document path: the text after the last separator ('\\' or '/'),
        cut at its last dot unless that dot starts the name. */
    static juce::String documentNameFromPath (const juce::String& path);

    AppData& getAppData() { return *appData; }

    // Declared in this order so that destruction runs bottom-up: the document data (and with
    // it the undo manager) and the listener list go first, then the managers.
    std::shared_ptr<CueListManager> cueListManager;
    std::shared_ptr<CategoryManager> categoryManager;
    std::shared_ptr<DefaultsManager> defaultsManager;
    /** The live list's waveform as last handed to the servers; they and their manager share it. */
    std::shared_ptr<LiveWaveform> liveWaveform;
    /** The document's web-client servers. */
    std::shared_ptr<ServerManager> serverManager;
    std::shared_ptr<ColorMask> colorMask;
    /** The live list: set by the time and the main view's tabs, followed by views and servers. */
    std::shared_ptr<ActiveCueListHandler> activeCueListHandler;
    /** The list selected on the project page. */
    std::shared_ptr<ActiveCueListHandler> selectedCueListHandler;
    /** The running show time; moves the live list. */
    std::shared_ptr<TimeManager> timeManager;

private:
    juce::ListenerList<Listener> listeners;

public:
    std::unique_ptr<AppData> appData;

    JUCE_DECLARE_NON_COPYABLE (VantrelController)
};
