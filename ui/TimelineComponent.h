#pragma once

#include "model/CueList.h"
#include "ui/PeakReducer.h"
#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <memory>
#include <vector>

/** The audio strip of a cue list: the waveform of its audio file over the list's span, a
    marker per shown cue and a playhead held 100 px from the left. Zooms with the wheel,
    pans by dragging, and once the file is read hands its peaks (40 min/max pairs per
    second) to onWaveform. Takes the drop of one audio file only while onFileDropped is set. */
class TimelineComponent : public juce::Component,
                          private juce::ChangeListener,
                          public juce::FileDragAndDropTarget,
                          private Cue::Listener
{
public:
    TimelineComponent();
    ~TimelineComponent() override;

    /** When empty the strip refuses every drop and shows no drop hint. */
    std::function<void (const juce::File&)> onFileDropped;
    /** The peaks, minimum and maximum alternating, and the span length in ms. */
    std::function<void (juce::Array<int> peaks, double lengthMs)> onWaveform;

    /** Ignored while the strip has no size. Resets the playhead and, with a list, the view. */
    void setCueList (const CueList* list, const juce::Array<juce::Colour>& hiddenColours);
    /** A show time in ms, on the same base as the cue starts. */
    void setPlayhead (int timeMs);

    static bool isAcceptedAudioFile (const juce::String& path);

    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    void paint (juce::Graphics& g) override;
    void resized() override;

    // What the strip shows, in ms from the span start.
    float getPlayhead() const { return playhead; }
    juce::Range<double> getVisibleRange() const { return { visibleStart, visibleEnd }; }
    double getMsPerPixel() const { return msPerPixel; }
    float getLength() const { return length; }
    float getZoomFactor() const { return zoomFactor; }
    juce::Range<int> getSpan() const { return { spanStart, spanEnd }; }
    int getNumMarkers() const { return (int) markers.size(); }
    double getMarkerOffset (int index) const { return markers[(size_t) index].offset; }
    const juce::AudioThumbnail& getThumbnail() const { return thumbnail; }
    bool isReducingPeaks() const { return reducer.isRunning(); }

    /** The pixel of the playhead, at most the width. */
    float getPlayheadX() const;

    static constexpr double initialMsPerPixel = 25.0;
    static constexpr int playheadInset = 100;
    static constexpr juce::uint8 unplayedAlpha = 38;

private:
    struct Marker
    {
        double offset;
        std::weak_ptr<Cue> cue;
    };

    juce::AudioFormatManager formatManager;
    juce::AudioThumbnailCache thumbnailCache { 5 };
    juce::AudioThumbnail thumbnail { 512, formatManager, thumbnailCache };
    int spanStart = 0, spanEnd = 0;
    std::vector<Marker> markers;
    float playhead = 0.0f;
    float zoomFactor = 1.0f;
    double visibleStart = 0.0, visibleEnd = 0.0;
    int lastDragX = 0;
    double msPerPixel = initialMsPerPixel;
    float length = 0.0f;
    juce::Path dropIcon;
    // Reads the thumbnail: declared after it, so it goes first.
    PeakReducer reducer { thumbnail };

    void clearMarkers();
    bool hasAudio() const;
    double visibleWidthMs() const { return visibleEnd - visibleStart; }

    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void cueDisplayColorChanged() override { repaint(); }

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TimelineComponent)
};
