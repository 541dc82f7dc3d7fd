#include "ui/TimelineComponent.h"

#include "BinaryData.h"
#include <cmath>

namespace
{
float zeroIfNaN (float v) { return std::isnan (v) ? 0.0f : v; }
}

TimelineComponent::TimelineComponent()
{
    formatManager.registerBasicFormats();
    thumbnail.addChangeListener (this);

    if (auto drawable = juce::Drawable::createFromImageData (BinaryData::filearrowdownsolid_svg,
                                                             (size_t) BinaryData::filearrowdownsolid_svgSize))
        dropIcon = drawable->getOutlineAsPath();

    reducer.onFinished = [this] (juce::Array<int>&& peaks, double spanMs)
    {
        length = juce::jmax (length, (float) (thumbnail.getTotalLength() * 1000.0));
        repaint();
        // Last: the owner may do anything in it.
        if (onWaveform)
            onWaveform (std::move (peaks), spanMs);
    };
}

TimelineComponent::~TimelineComponent()
{
    reducer.cancel();
    clearMarkers();
    thumbnail.removeChangeListener (this);
}

void TimelineComponent::clearMarkers()
{
    for (auto& marker : markers)
        if (auto cue = marker.cue.lock())
            cue->removeListener (this);
    markers.clear();
}

void TimelineComponent::setCueList (const CueList* list, const juce::Array<juce::Colour>& hiddenColours)
{
    if (getWidth() * getHeight() == 0)
        return;

    playhead = 0.0f;
    clearMarkers();
    reducer.cancel();

    if (list == nullptr)
    {
        thumbnail.setSource (nullptr);
        repaint();
        return;
    }

    // A relative or empty path names no file: the strip stays empty.
    const auto path = list->getAudioFile();
    const auto file = juce::File::isAbsolutePath (path) ? juce::File (path) : juce::File();
    thumbnail.setSource (new juce::FileInputSource (file));

    const auto span = list->getRange();
    spanStart = span.getStart();
    spanEnd = span.getEnd();
    msPerPixel = initialMsPerPixel;
    visibleStart = 0.0;
    visibleEnd = juce::jmax (0.0, getWidth() * initialMsPerPixel);
    length = (float) (spanEnd - spanStart);

    for (const auto& cue : list->getCues())
    {
        if (hiddenColours.contains (cue->getDisplayColor()))
            continue;
        markers.push_back ({ cue->getRange().getStart() - spanStart, cue });
        cue->addListener (this);
    }
    repaint();
}

void TimelineComponent::setPlayhead (int timeMs)
{
    playhead = length > 0.0f ? juce::jlimit (0.0f, length, (float) (timeMs - spanStart)) : 0.0f;

    if (getWidth() > 0)
    {
        // Keep the playhead 100 px from the left at the same scale, until the view would
        // pass the end; then the view stays and the playhead walks on to the right.
        const auto visible = visibleWidthMs();
        const auto s = juce::jmax (0.0, playhead - visible / getWidth() * playheadInset);
        const auto e = juce::jmax (s + visible, s);
        if ((double) length >= e)
        {
            visibleStart = s;
            visibleEnd = e;
        }
    }
    repaint();
}

float TimelineComponent::getPlayheadX() const
{
    return zeroIfNaN (juce::jmin ((float) getWidth(), (float) ((playhead - visibleStart) / msPerPixel)));
}

bool TimelineComponent::isAcceptedAudioFile (const juce::String& path)
{
    const auto extension = juce::File::createFileWithoutCheckingPath (path).getFileExtension();
    for (auto* accepted : { ".wav", ".aiff", ".mp3", ".flac" })
        if (extension.equalsIgnoreCase (accepted))
            return true;
    return false;
}

bool TimelineComponent::isInterestedInFileDrag (const juce::StringArray& files)
{
    if (! onFileDropped)
        return false;
    return files.size() == 1 && isAcceptedAudioFile (files[0]);
}

void TimelineComponent::filesDropped (const juce::StringArray& files, int, int)
{
    if (onFileDropped && ! files.isEmpty())
        onFileDropped (juce::File::createFileWithoutCheckingPath (files[0]));
}

void TimelineComponent::mouseDown (const juce::MouseEvent& e)
{
    lastDragX = juce::roundToInt (e.position.x);
}

void TimelineComponent::mouseDrag (const juce::MouseEvent& e)
{
    if (getWidth() > 0)
    {
        const auto visible = visibleWidthMs();
        const auto s = juce::jmax (0.0f, (float) (visibleStart - visible / getWidth() * (e.x - lastDragX)));
        const auto end = juce::jmax (s + visible, (double) s);
        if ((double) length > end)
        {
            visibleStart = s;
            visibleEnd = end;
            repaint();
        }
    }
    lastDragX = e.x;
}

void TimelineComponent::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    if (e.mods.isMiddleButtonDown() || getWidth() <= 0)
        return;

    const double factor = wheel.deltaY < 0.0f ? 1.1 : 0.9;
    zoomFactor = (float) factor;

    const double width = getWidth();
    const double anchor = playhead > 0.0f ? (double) getPlayheadX() : (double) e.position.x;
    const auto centre = anchor / width * visibleWidthMs() + visibleStart;
    auto start = centre + (visibleStart - centre) * factor;
    auto end = centre + (visibleEnd - centre) * factor;

    if (start < 0.0)
        start = 0.0;
    if (end < 0.0)
        end = 0.0;
    if (end > length)
        end = length;
    if (start > length)
        start = length;

    // Never finer than 1 ms per pixel.
    if ((end - start) / width >= 1.0)
    {
        visibleStart = start;
        visibleEnd = end;
    }
    if (visibleEnd > visibleStart)
        msPerPixel = visibleWidthMs() / width;
    repaint();
}

void TimelineComponent::resized()
{
    visibleEnd = visibleStart + juce::jmax (0.0, getWidth() * msPerPixel);
}

bool TimelineComponent::hasAudio() const
{
    return thumbnail.getNumChannels() > 0 && thumbnail.getTotalLength() > 0.0;
}

void TimelineComponent::changeListenerCallback (juce::ChangeBroadcaster*)
{
    // An unreadable file also counts as fully loaded (nothing to read): it has no channels
    // and gives no peaks, so the servers keep the waveform they have.
    if (onWaveform && thumbnail.isFullyLoaded() && hasAudio())
        reducer.start ((spanEnd - spanStart) / 1000.0);
    repaint();
}

void TimelineComponent::paint (juce::Graphics& g)
{
    const auto w = getWidth(), h = getHeight();
    const auto accent = findColour (juce::TextButton::buttonOnColourId);
    const auto unplayed = juce::Colours::white.withAlpha (unplayedAlpha);
    const auto p = getPlayheadX();

    if (thumbnail.getNumChannels() == 0)
    {
        const auto mid = (float) h / 2.0f;
        g.setColour (accent);
        g.drawLine (0.0f, mid, p, mid, 2.0f);
        g.setColour (unplayed);
        g.drawLine (p, mid, (float) w, mid, 2.0f);

        if (onFileDropped)
        {
            const auto o = h / 2;
            const auto x0 = (w - o) / 2, y0 = (h - o) / 2 - 8;
            const juce::Rectangle<int> square (x0, y0, o, o);
            g.setColour (findColour (juce::ResizableWindow::backgroundColourId));
            g.fillRect (square);
            g.setColour (juce::Colours::white.withBrightness (0.15f));
            g.fillPath (dropIcon, dropIcon.getTransformToScaleToFit (square.toFloat(), true));
            g.drawText ("Drop audio file here...", 0, y0 + 2 + o, w, 14, juce::Justification::centred);
        }
    }
    else
    {
        const auto played = juce::jmin (w, (int) p);
        g.setColour (accent);
        if (played > 0)
            thumbnail.drawChannel (g, { 0, 0, played, h }, visibleStart / 1000.0, playhead / 1000.0, 0, 1.0f);
        g.setColour (unplayed);
        thumbnail.drawChannel (g, { played, 0, w - played, h }, playhead / 1000.0, visibleEnd / 1000.0, 0, 1.0f);
    }

    for (const auto& marker : markers)
    {
        auto cue = marker.cue.lock();
        if (cue == nullptr || marker.offset < visibleStart || marker.offset > visibleEnd)
            continue;
        const auto x = zeroIfNaN ((float) ((marker.offset - visibleStart) / msPerPixel));
        auto colour = cue->getDisplayColor();
        if (x < p)
            colour = juce::Colour (colour.getHue(), colour.getSaturation(), 0.4f, colour.isTransparent() ? 0.0f : 1.0f);
        g.setColour (colour);
        g.fillRoundedRectangle (x - 1.0f, 2.0f, 2.0f, (float) juce::jmax (0, h - 4), 1.0f);
    }
}
