#pragma once

#include "model/CategoryManager.h"
#include "pages/ColorMaskStrip.h"
#include "server/ServerManager.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

/** The colour-mask strips of all servers stacked 40 px apart, in the server manager's order. */
class CategoryMaskScroller : public juce::Component,
                             private CategoryManager::Listener,
                             private ServerManager::Listener
{
public:
    CategoryMaskScroller (std::shared_ptr<CategoryManager> categoryManager, std::shared_ptr<ServerManager> serverManager);
    ~CategoryMaskScroller() override;

    void rebuild();
    void paint (juce::Graphics& g) override;

    const juce::OwnedArray<ColorMaskStrip>& getStrips() const { return strips; }

    static constexpr int stripHeight = 40;

private:
    std::shared_ptr<CategoryManager> categoryManager;
    std::shared_ptr<ServerManager> serverManager;
    juce::OwnedArray<ColorMaskStrip> strips;

    void categoriesChanged() override { rebuild(); }
    void serversChanged() override { rebuild(); }

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CategoryMaskScroller)
};
