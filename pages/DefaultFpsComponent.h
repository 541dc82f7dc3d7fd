#pragma once

#include "model/DefaultsManager.h"
#include "ui/kit/FpsComboBox.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

/** The default frame rate of imported lists, shown and chosen in a frame-rate box. */
class DefaultFpsComponent : public juce::Component, private DefaultsManager::Listener
{
public:
    explicit DefaultFpsComponent (std::shared_ptr<DefaultsManager> defaultsManager);
    ~DefaultFpsComponent() override;

    void resized() override;

    FpsComboBox& getBox() { return box; }

private:
    std::shared_ptr<DefaultsManager> defaults;
    FpsComboBox box;

    void defaultFpsChanged() override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DefaultFpsComponent)
};
