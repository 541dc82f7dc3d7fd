#pragma once

#include "ui/CueComponent.h"
#include <memory>

/** Holds one row component and gives it its cue; editable rows build on it. */
class CueWrapper : public juce::Component
{
public:
    CueWrapper() = default;

    /** The rate goes first, so the row never writes its start time at a stale rate. */
    void setCue (std::shared_ptr<Cue> cue, int fps);

    void setCueComponent (std::unique_ptr<CueComponent> component);
    CueComponent* getCueComponent() const { return cueComponent.get(); }

    void resized() override;

protected:
    /** Runs at the end of setCue. */
    virtual void cueChanged() {}

    std::unique_ptr<CueComponent> cueComponent;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CueWrapper)
};
