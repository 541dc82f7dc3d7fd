#pragma once

#include "ui/kit/HeaderTab.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class DefaultsManager;

/** The defaults page: one "FPS" panel with the default frame rate of imported lists. */
class DefaultsView : public juce::Component
{
public:
    explicit DefaultsView (std::shared_ptr<DefaultsManager> defaultsManager);

    void resized() override;

    HeaderTab& getPanel() { return panel; }

private:
    HeaderTab panel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DefaultsView)
};
