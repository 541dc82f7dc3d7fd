#pragma once

#include "document/Identifiers.h"
#include "model/ColorMask.h"
#include "model/Cue.h"
#include "server/CategoryListener.h"
#include "server/WebClientMessages.h"
#include "server/websocket/SimpleWebSocketServer.h"
#include "time/TimeInfo.h"
#include <juce_data_structures/juce_data_structures.h>
#include <map>
#include <set>

class ActiveCueListHandler;
class CategoryManager;
class LiveWaveform;
class TimeManager;
class VantrelController;

/** One web-client server: a port on which browsers load the web client and then receive the
    live show state as JSON text messages over WebSocket. Follows the live cue list through
    its own colour mask, greets each new browser with "cuelist", "waveform", "time" and
    "misc", batches colour and text changes for a second, and sends the rest at once. What
    the messages say is WebClientMessages' business; this class decides when and to whom.

    Everything here runs on the message thread; the socket server's thread only hands over
    connections. Messages are always built on the message thread. */
class VantrelServer : public SimpleWebSocketServerBase::Listener,
                      private ColorMask::Listener,
                      private juce::ValueTree::Listener,
                      private Cue::Listener,
                      private juce::Timer
{
public:
    struct Listener
    {
        virtual ~Listener() = default;
        virtual void serverChanged() {}
    };

    /** Only builds a new "Server" node for the port ("uuid", "port", "name" = "New Server",
        an empty "ColorMask"); starts nothing. */
    explicit VantrelServer (int port);

    /** The working server: starts serving the node's port on the address. Takes from the
        controller what it reads: the live list, the time, the waveform and the categories. */
    VantrelServer (juce::ValueTree node, const juce::String& bindAddress, VantrelController* controller);
    ~VantrelServer() override;

    /** Called once when the server is found not running a second after its start. */
    std::function<void()> onFailure;

    juce::String getName() const { return state[IDs::name].toString(); }
    juce::String getUuid() const { return state[IDs::uuid].toString(); }
    juce::ValueTree getState() const { return state; }
    int getPort() const;
    juce::String getBindAddress() const;
    std::shared_ptr<ColorMask> getColorMask() const { return colorMask; }
    SimpleWebSocketServer* getSocketServer() const { return socketServer.get(); }
    /** True once the server was found listening (at once, or at the check a second after its start). */
    bool isServing() const { return serving; }

    /** Adopts another node with the same port (a kept server after a document change). */
    void setState (juce::ValueTree node);

    void setName (const juce::String& name);
    /** Restarts on another address; a restart that fails is reported in a dialog. */
    void setBindAddress (const juce::String& address);
    void sendTime();
    void sendWaveform();
    void updateTrackedCues();

    void addListener (Listener* l) { listeners.add (l); }
    void removeListener (Listener* l) { listeners.remove (l); }

    /** The live list's tracked cues; the empty text while no list is live. */
    juce::String createCueListMessage() const;
    /** The current waveform's length with the peaks this server stored last. */
    juce::String createWaveformMessage() const;
    /** The time manager's current time; stores the next cue's index as the next hint. */
    juce::String createTimeMessage();
    /** The "time" message for a given time (the time manager's current one above). */
    juce::String createTimeMessage (const TimeInfo& info);
    juce::String createMiscMessage() const;
    static juce::String createCategoryMessage (const Category& category) { return WebClientMessages::category (category); }
    static juce::String toWebColour (juce::uint32 argb) { return WebClientMessages::toWebColour (argb); }

    /** Sends a message to every browser that has had its greeting. */
    void broadcast (const juce::String& message);

    /** "time" says where the show is, not what happened: a browser that falls behind gets
        the newest one in place of any it has not been sent yet. */
    static constexpr int timeReplaceKey = 1;

    /** The folder beside the executable whose files browsers load. */
    static juce::File getDistFolder();

private:
    std::shared_ptr<ColorMask> colorMask;
    std::unique_ptr<SimpleWebSocketServer> socketServer;
    juce::ValueTree state;
    juce::ListenerList<Listener> listeners;
    // What the messages read, taken from the controller once (absent in a node-only server).
    // Shared, so that a page row holding this server after the model went reads nothing freed.
    std::shared_ptr<ActiveCueListHandler> liveHandler;
    std::shared_ptr<TimeManager> timeManager;
    std::shared_ptr<const LiveWaveform> waveform;
    std::shared_ptr<CategoryManager> categoryManager;
    juce::var waveformData;
    WebClientMessages::TrackedCues trackedCues;
    int lastCueIndex = 0;
    bool cueListDirty = false;
    std::map<juce::String, std::shared_ptr<CategoryListener>> categoryListeners;
    std::vector<std::shared_ptr<Category>> pendingCategories;
    bool serving = false;

    // Browsers whose greeting is not queued yet are left out of broadcasts. Written on the
    // server thread when a connection opens, so the lock is short and never held while sending.
    juce::CriticalSection ungreetedLock;
    std::set<juce::String> ungreeted;
    std::set<juce::String> greeted; // those that broadcasts reach
    juce::StringArray getUngreeted();
    bool hasGreetedBrowsers();

    void startCheck();
    void beginServing();
    void greet (const juce::String& clientId);
    void scheduleRestartCheck (const juce::String& address);
    void rebuildCategoryListeners();
    void stopListeningToCues();
    void bindToState();
    void unbindFromState();

    // SimpleWebSocketServerBase::Listener (server thread)
    void serverStarted() override;
    void clientOpening (const juce::String& clientId) override;
    void clientConnected (const juce::String& clientId) override;
    void clientClosed (const juce::String& clientId, int, const juce::String&) override;
    void clientError (const juce::String& clientId, const juce::String&) override;

    void colorMaskChanged() override { updateTrackedCues(); }
    void valueTreePropertyChanged (juce::ValueTree&, const juce::Identifier&) override;
    void cueTextChanged() override;
    void cueCategoryChanged() override;
    void timerCallback() override;

    JUCE_DECLARE_WEAK_REFERENCEABLE (VantrelServer)

    // What posted calls hold, and check on the message thread before touching the server.
    // Made here, on the message thread, and never written again: the server thread only
    // copies it (a weak reference made there would create the shared part off this thread).
    const juce::WeakReference<VantrelServer> self { this };

    JUCE_DECLARE_NON_COPYABLE (VantrelServer)
};
