#include "pages/CategoryMaskScroller.h"

CategoryMaskScroller::CategoryMaskScroller (std::shared_ptr<CategoryManager> categories,
                                            std::shared_ptr<ServerManager> servers)
    : categoryManager (std::move (categories)), serverManager (std::move (servers))
{
    rebuild();
    categoryManager->addListener (this);
    serverManager->addListener (this);
}

CategoryMaskScroller::~CategoryMaskScroller()
{
    serverManager->removeListener (this);
    categoryManager->removeListener (this);
}

void CategoryMaskScroller::rebuild()
{
    strips.clear();
    for (int i = 0; i < serverManager->getNumServers(); ++i)
    {
        auto server = serverManager->getServer (i);
        if (server == nullptr)
            continue;
        auto* strip = strips.add (std::make_unique<ColorMaskStrip> (categoryManager, server->getColorMask()));
        addAndMakeVisible (strip);
        strip->setBounds (0, stripHeight * (strips.size() - 1), strip->getPreferredWidth(), stripHeight);
    }

    if (! strips.isEmpty())
        setSize (strips.getFirst()->getPreferredWidth(), stripHeight * strips.size());
}

void CategoryMaskScroller::paint (juce::Graphics& g)
{
    g.fillAll (getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId));
}
