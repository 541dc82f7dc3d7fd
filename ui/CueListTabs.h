#pragma once

#include "model/ActiveCueListHandler.h"
#include "model/CueListManager.h"
#include "ui/TabButton.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

/** The row of cue-list tabs under the clock: one tab per list in the manager's order, the
    live list's tab on. A click makes its list live; the strip scrolls sideways by dragging,
    and a drag of more than 10 px swallows the click that ends it (or the next one). */
class CueListTabs : public juce::Component,
                    private juce::Button::Listener,
                    private CueListManager::Listener,
                    private ActiveCueListHandler::Listener
{
public:
    CueListTabs (std::shared_ptr<CueListManager> manager, ActiveCueListHandler& liveHandler);
    ~CueListTabs() override;

    int getNumTabs() const { return tabs.size(); }
    TabButton* getTab (int index) const { return tabs[index]; }
    juce::Viewport& getViewport() { return viewport; }
    juce::Component& getStrip() { return strip; }
    bool wasDragged() const { return dragged; }

    static constexpr int gap = 15;
    static constexpr int dragThreshold = 10;

    void resized() override;
    void mouseDrag (const juce::MouseEvent& e) override;

    // ActiveCueListHandler::Listener
    void activeCueListChanged() override;

private:
    juce::Viewport viewport;
    juce::Component strip;
    juce::OwnedArray<TabButton> tabs;
    bool dragged = false;
    std::shared_ptr<CueListManager> manager;
    ActiveCueListHandler& handler;

    void addTab (std::shared_ptr<CueList> list);

    void buttonClicked (juce::Button* button) override;
    void cueListsChanged() override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CueListTabs)
};
