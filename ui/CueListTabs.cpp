#include "ui/CueListTabs.h"

CueListTabs::CueListTabs (std::shared_ptr<CueListManager> m, ActiveCueListHandler& liveHandler)
    : manager (std::move (m)), handler (liveHandler)
{
    viewport.setScrollBarsShown (false, false, true, true);
    viewport.setScrollOnDragMode (juce::Viewport::ScrollOnDragMode::all);
    viewport.setViewedComponent (&strip, false);
    addAndMakeVisible (viewport);

    for (auto& list : manager->getCueLists())
        addTab (list);
    for (int i = 0; i < tabs.size(); ++i)
        tabs[i]->setToggleState (i == 0, juce::dontSendNotification);

    manager->addListener (this);
    handler.addListener (this);
}

CueListTabs::~CueListTabs()
{
    handler.removeListener (this);
    manager->removeListener (this);
    viewport.setViewedComponent (nullptr, false);
}

void CueListTabs::addTab (std::shared_ptr<CueList> list)
{
    auto* tab = tabs.add (std::make_unique<TabButton>());
    tab->setCueList (std::move (list));
    tab->addMouseListener (this, false);
    tab->addListener (this);
    tab->onNameChange = [this] { resized(); };
    strip.addAndMakeVisible (tab);
}

void CueListTabs::buttonClicked (juce::Button* button)
{
    if (! dragged)
        handler.setActiveCueList (manager->getCueList (button->getComponentID()));
    dragged = false;
}

void CueListTabs::mouseDrag (const juce::MouseEvent& e)
{
    // Also reached by drags that start on a tab: the tabs pass their mouse events on.
    dragged = juce::roundToInt (e.getDistanceFromDragStart()) > dragThreshold;
}

void CueListTabs::cueListsChanged()
{
    const auto lists = manager->getCueLists();
    while (tabs.size() > (int) lists.size())
        tabs.removeLast();
    for (auto i = (size_t) tabs.size(); i < lists.size(); ++i)
        addTab (lists[i]);
    for (int i = 0; i < tabs.size(); ++i)
        tabs[i]->setCueList (lists[(size_t) i]);
    resized();
    activeCueListChanged();
}

void CueListTabs::activeCueListChanged()
{
    auto live = handler.getActiveCueList();
    if (tabs.isEmpty() || live == nullptr)
        return;

    const auto uuid = live->getUuid();
    TabButton* liveTab = nullptr;
    for (auto* tab : tabs)
    {
        const bool on = tab->getComponentID() == uuid;
        tab->setToggleState (on, juce::dontSendNotification);
        if (on)
            liveTab = tab;
    }

    if (liveTab != nullptr && ! viewport.getViewArea().contains (liveTab->getBounds()))
        viewport.setViewPosition (liveTab->getPosition()); // clamped by the viewport
}

void CueListTabs::resized()
{
    const auto h = getHeight();
    viewport.setBounds (0, 0, getWidth(), h);

    int stripWidth = 0;
    for (auto* tab : tabs)
    {
        tab->updateWidth (h);
        stripWidth += tab->getWidth();
    }
    stripWidth = juce::jmax (0, stripWidth + gap * (tabs.size() - 1));
    strip.setBounds (0, 0, stripWidth, h);

    int x = 0, remaining = stripWidth;
    for (int i = 0; i < tabs.size(); ++i)
    {
        auto* tab = tabs[i];
        const auto w = tab->getWidth();
        tab->setBounds (x, 0, juce::jmin (w, remaining), h);
        const auto tabGap = i < tabs.size() - 1 ? juce::jmin (remaining - w, gap) : 0;
        remaining -= w + tabGap;
        x += w + tabGap;
    }
}
