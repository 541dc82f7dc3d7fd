#pragma once

#include <juce_data_structures/juce_data_structures.h>
#include <functional>
#include <memory>

// Only named here: a file that reaches into a manager includes that manager's header.
class ActiveCueListHandler;
class AppData;
class CategoryManager;
class ColorMask;
class CueListManager;
class DefaultsManager;
class LiveWaveform;
class MasterTimeDriver;
class ServerManager;
class TimeManager;
class UpdateChecker;

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
    /** With the given time drivers (tests bring a computer's clock that reads a set time). */
    explicit VantrelController (std::unique_ptr<MasterTimeDriver> drivers);
    ~VantrelController();

    void addListener (Listener* listener) { listeners.add (listener); }
    void removeListener (Listener* listener) { listeners.remove (listener); }

    void newDocument();
    void openDocument();
    void saveDocumentAs (const juce::String& name);
    void undo();
    void redo();

    /** Whether the application may end now. Writes a pending change first; while that write
        fails, the first request shows why and answers false (the operator can free space or
        save elsewhere), and a second request answers true. */
    bool mayQuit();

    /** The current document file's name without extension; empty when there is none. */
    juce::String getDocumentName() const;

    AppData& getAppData() { return *appData; }

    /** Hands the live list's waveform (peaks, span in milliseconds) to the web-client servers.
        A view keeps this instead of the server manager; called after the controller has gone,
        it does nothing. Message thread only. */
    std::function<void (const juce::Array<int>& peaks, float lengthMs)> getWaveformPublisher() const;

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
    bool quitRefused = false;

public:
    std::unique_ptr<AppData> appData;

    /** The start-up check. Declared last: it is built before the constructor makes the document
        data (so its preferences copy reads the file first) and destroyed first, its threads
        joined before anything else goes. */
    std::unique_ptr<UpdateChecker> updateChecker;

private:
    // The delayed start-up check holds a weak reference: a controller gone by then is left alone.
    JUCE_DECLARE_WEAK_REFERENCEABLE (VantrelController)
    JUCE_DECLARE_NON_COPYABLE (VantrelController)
};
