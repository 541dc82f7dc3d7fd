#pragma once

#include "model/CategoryManager.h"
#include "pages/CategoryMaskScroller.h"
#include "pages/CategoryNameScroller.h"
#include "pages/ServerComponent.h"
#include "server/ServerManager.h"
#include "ui/kit/LineComponent.h"
#include "ui/kit/MaskComponent.h"
#include "ui/kit/ResizableViewportChild.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

/** The scrolled content of the "Webclients" panel: a row per server, the servers' colour-mask
    strips in a grid beside the names, and the slanted category names above the grid, which
    follow its horizontal scrolling. */
class ClientOrganizer : public ResizableViewportChild,
                        private ServerManager::Listener,
                        private CategoryManager::Listener,
                        private juce::AsyncUpdater
{
public:
    ClientOrganizer (std::shared_ptr<ServerManager> serverManager, std::shared_ptr<CategoryManager> categoryManager);
    ~ClientOrganizer() override;

    /** Makes a row per server and lays everything out. */
    void rebuild();

    void paint (juce::Graphics& g) override;
    void resized() override;
    void componentMovedOrResized (juce::Component& component, bool wasMoved, bool wasResized) override;

    const juce::OwnedArray<ServerComponent>& getRows() const { return rows; }
    CategoryMaskScroller& getGridScroller() { return gridScroller; }
    CategoryNameScroller& getNamesScroller() { return namesScroller; }
    juce::Viewport& getGridViewport() { return gridViewport; }
    juce::Viewport& getNamesViewport() { return namesViewport; }
    MaskComponent* getHeaderMask() const { return headerMask.get(); }

    static constexpr int rowHeight = 40;

private:
    juce::Viewport gridViewport;
    CategoryMaskScroller gridScroller;
    juce::Viewport namesViewport;
    CategoryNameScroller namesScroller;
    std::unique_ptr<MaskComponent> headerMask;
    juce::OwnedArray<ServerComponent> rows;
    juce::OwnedArray<LineComponent> separators;
    std::shared_ptr<ServerManager> serverManager;
    std::shared_ptr<CategoryManager> categoryManager;

    // A server's remove button sets off a change of the servers while its own click is still
    // running: the rows are rebuilt on the next turn of the message loop, never inside it.
    void serversChanged() override { triggerAsyncUpdate(); }
    void categoriesChanged() override { triggerAsyncUpdate(); }
    void handleAsyncUpdate() override { rebuild(); }

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ClientOrganizer)
};
