#include "pages/ClientOrganizer.h"

ClientOrganizer::ClientOrganizer (std::shared_ptr<ServerManager> servers, std::shared_ptr<CategoryManager> categories)
    : gridScroller (categories, servers),
      namesScroller (categories),
      serverManager (std::move (servers)),
      categoryManager (std::move (categories))
{
    serverManager->addListener (this);
    categoryManager->addListener (this);

    gridViewport.setScrollBarsShown (false, true, true, true);
    addAndMakeVisible (gridViewport);
    gridViewport.setViewedComponent (&gridScroller, false);
    gridScroller.addComponentListener (this);

    namesViewport.setScrollBarsShown (false, false, true, true);
    addAndMakeVisible (namesViewport);
    namesViewport.setViewedComponent (&namesScroller, false);

    rebuild();
}

ClientOrganizer::~ClientOrganizer()
{
    gridScroller.removeComponentListener (this);
    categoryManager->removeListener (this);
    serverManager->removeListener (this);
    gridViewport.setViewedComponent (nullptr, false);
    namesViewport.setViewedComponent (nullptr, false);
}

void ClientOrganizer::rebuild()
{
    cancelPendingUpdate();
    rows.clear();
    for (int i = 0; i < serverManager->getNumServers(); ++i)
    {
        auto server = serverManager->getServer (i);
        if (server == nullptr)
            continue;
        auto* row = rows.add (std::make_unique<ServerComponent> (server));
        row->setComponentID (server->getUuid());
        row->setAddress (server->getBindAddress(), server->getPort());
        const std::weak_ptr<VantrelServer> weakServer = server;
        row->onRemove = [manager = serverManager, weakServer]
        {
            // The uuid as it is now: undo and redo may have given the node another.
            if (auto s = weakServer.lock())
                manager->deleteServer (s->getUuid());
        };
        addAndMakeVisible (row);
    }

    setContentHeight (rowHeight * rows.size() + 30 + namesScroller.getHeight());
    resized();
}

void ClientOrganizer::paint (juce::Graphics& g)
{
    g.fillAll (getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId));
}

void ClientOrganizer::resized()
{
    const auto w = getWidth(), h = getHeight();
    if (w < 1 || h < 1)
        return;

    namesViewport.setVisible (! rows.isEmpty());

    const auto available = rows.isEmpty() ? 500 : w - rows.getFirst()->getRequiredWidth();
    const auto g = juce::jmin (gridScroller.getWidth(), available);
    const auto hh = juce::jmin (h, namesScroller.getHeight() + 10);
    namesViewport.setBounds (186, 0, juce::jmax (0, (int) ((float) g + 112.8f)), hh);
    const auto scrollBar = gridScroller.getWidth() > 500 ? gridViewport.getScrollBarThickness() : 0;
    gridViewport.setBounds (186, hh, juce::jmax (0, g), juce::jmax (0, rows.size() * rowHeight + scrollBar));

    separators.clear();
    auto y = hh;
    auto remaining = h - hh;
    for (int i = 0; i < rows.size(); ++i)
    {
        auto* row = rows.getUnchecked (i);
        row->setGridWidth (gridViewport.getWidth());
        const auto k = juce::jmin (rowHeight, remaining);
        row->setBounds (0, y + 5, w, juce::jmax (0, k - 10));
        y += k;
        remaining -= k;
        if (i < rows.size() - 1)
        {
            auto* line = separators.add (std::make_unique<LineComponent>());
            addAndMakeVisible (line);
            line->setBounds (0, y, w, 1);
        }
    }

    // Covers the band above the grid but for a window slanted at 45 degrees on both sides,
    // through which the slanted names show.
    const auto grid = gridViewport.getBounds().toFloat();
    const auto nh = (float) namesViewport.getHeight();
    juce::Path path;
    path.startNewSubPath (0.0f, 0.0f);
    path.lineTo (0.0f, grid.getY());
    path.lineTo (160.0f, grid.getY());
    path.lineTo (160.0f + nh, 0.0f);
    path.closeSubPath();
    path.startNewSubPath (grid.getRight() + 16.0f + nh, 0.0f);
    path.lineTo ((float) w, 0.0f);
    path.lineTo ((float) w, grid.getY());
    path.lineTo (grid.getRight() + 16.0f, grid.getY());
    path.closeSubPath();

    headerMask = std::make_unique<MaskComponent> (path);
    headerMask->setShadow (juce::Colour (0x00000000), 0, { 0, 0 }, 0);
    addAndMakeVisible (*headerMask);
    headerMask->setBounds (0, 0, w, juce::jmin (h, (int) nh));
}

void ClientOrganizer::componentMovedOrResized (juce::Component& component, bool wasMoved, bool wasResized)
{
    if (&component != &gridScroller)
    {
        ResizableViewportChild::componentMovedOrResized (component, wasMoved, wasResized);
        return;
    }

    if (wasResized)
        resized();
    // The names follow the grid's horizontal scrolling. The grid viewport learns of the move
    // only after this listener, so its scroll position is read off the grid itself.
    namesViewport.setViewPosition (-gridScroller.getX(), 0);
}
