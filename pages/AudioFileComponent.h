#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

/** A drop target for one ".wav" file that shows the dropped file's name. */
class AudioFileComponent : public juce::Component, public juce::FileDragAndDropTarget
{
public:
    AudioFileComponent() = default;

    /** Receives the dropped file; called only while set. */
    std::function<void (const juce::File&)> onFileDropped;

    /** Exactly one file whose path ends in ".wav" (letter case counts). */
    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;

    void paint (juce::Graphics& g) override;
    void resized() override {}

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioFileComponent)
};
