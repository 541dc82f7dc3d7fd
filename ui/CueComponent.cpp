#include "ui/CueComponent.h"

#include "time/Timecode.h"
#include "time/WholeMillis.h"
#include "ui/CueDrawing.h"

namespace
{
const juce::String monoFace ("Droid Sans Mono");

juce::Font monoFont (float height) { return juce::Font (monoFace, "Regular", height); }
}

CueComponent::CueComponent()
{
    addAndMakeVisible (nameLabel);
    addAndMakeVisible (timeLabel);
    addAndMakeVisible (numberLabel);

    timeLabel.setJustificationType (juce::Justification::centredRight);
    timeLabel.setFont (monoFont (14.0f));
    timeLabel.setColour (juce::Label::textColourId, juce::Colours::white.withAlpha ((juce::uint8) 219));
    numberLabel.setFont (monoFont (14.0f));
}

CueComponent::~CueComponent()
{
    if (auto c = cue.lock())
        c->removeListener (this);
}

void CueComponent::setCue (std::shared_ptr<Cue> newCue)
{
    if (newCue == cue.lock())
        return;

    if (auto old = cue.lock())
        old->removeListener (this);

    cue = newCue;
    if (newCue != nullptr)
        newCue->addListener (this);

    cueTextChanged();
    cueTimeChanged (newCue.get(), false);
    cueDisplayColorChanged();
    resized();
}

void CueComponent::setFps (int newFps)
{
    if (newFps == fps)
        return;
    fps = newFps;
    // Whatever was written at the old rate is stale now.
    cueTimeChanged (cue.lock().get(), false);
    resized();
}

void CueComponent::makeNameEditable (std::function<void (const juce::String&)> onEdited)
{
    nameEditable = true;
    nameLabel.setEditable (false, true, true);
    nameLabel.onTextChange = [this, edited = std::move (onEdited)]
    {
        if (edited != nullptr)
            edited (nameLabel.getText());
    };
}

void CueComponent::update (const TimeInfo& info, juce::Range<int> span)
{
    auto c = cue.lock();
    if (c == nullptr)
        return;

    if (info.time == 0 && ! info.running)
    {
        // The bar starts over; the labels keep what they show.
        if (finished || std::not_equal_to<float>() (progress, 0.0f))
            repaint();
        progress = 0.0f;
        finished = false;
        return;
    }

    const float previousProgress = progress;
    const bool wasFinished = finished;
    progress = c->getProgress (info.time, span);
    // getProgress ends at exactly 1 once the cue's span is over.
    finished = std::equal_to<float>() (progress, 1.0f);

    const auto text = getTimeText (info);
    const bool sameLength = text.length() == timeLabel.getText().length();

    const float alpha = finished ? 0.2f : 1.0f;
    setAlphaIfDifferent (numberLabel, alpha);
    setAlphaIfDifferent (nameLabel, alpha);

    // The labels repaint themselves when their text, alpha, visibility or place changes; the
    // row itself only where its bar changed, so a ticking countdown leaves the rest alone.
    timeLabel.setText (text, juce::dontSendNotification);
    updateTimeVisibility();

    if (! sameLength)
        resized();

    if (finished != wasFinished)
        repaint();
    else if (std::not_equal_to<float>() (progress, previousProgress))
        repaint (getChangedProgressArea (previousProgress, progress));
}

juce::Rectangle<int> CueComponent::getChangedProgressArea (float from, float to) const
{
    const auto band = getLocalBounds().withTrimmedTop (5).withTrimmedBottom (5);

    // The bar runs from the left edge to w * progress (at least 10 px); a rainbow bar shifts
    // its colours along all of its length.
    const auto end = [this] (float p) { return juce::jmax ((float) getWidth() * p, 10.0f); };
    const float right = juce::jmax (end (from), end (to));
    const float left = nameLabel.getText().containsIgnoreCase ("rainbow") ? 0.0f : juce::jmin (end (from), end (to));
    // The rounded end reaches back by its corner size; anti-aliasing a pixel beyond.
    const int x0 = juce::jmax (0, (int) std::floor (left) - 6);
    const int x1 = (int) std::ceil (right) + 1;
    return band.withLeft (x0).withRight (juce::jmin (band.getRight(), juce::jmax (x0, x1)));
}

juce::String CueComponent::getTimeText (const TimeInfo& info) const
{
    auto c = cue.lock();
    const double start = c != nullptr ? c->getRange().getStart() : 0.0;

    if (info.running)
    {
        const auto remaining = juce::jmax (0, toWholeMillis (start - info.time));
        return "-" + Timecode::fromMillis (remaining, fps).toString (2);
    }
    return Timecode::fromMillis (start, fps).toString (4);
}

void CueComponent::updateTimeVisibility()
{
    timeLabel.setVisible (! finished);
}

void CueComponent::cueTextChanged()
{
    if (auto c = cue.lock())
        nameLabel.setText (c->getText(), juce::dontSendNotification);
}

void CueComponent::cueTimeChanged (Cue*, bool)
{
    auto c = cue.lock();
    if (c == nullptr)
        return;

    timeLabel.setText (Timecode::fromMillis (c->getRange().getStart(), fps).toString (4), juce::dontSendNotification);
    numberLabel.setText (juce::String (c->getNumber()), juce::dontSendNotification);
    numberLabel.setColour (juce::Label::textColourId, juce::Colours::white.withAlpha ((juce::uint8) 153));
    if (numberLabel.getJustificationType() != juce::Justification::centred)
        numberLabel.setJustificationType (juce::Justification::centred);
}

void CueComponent::cueDisplayColorChanged()
{
    // Rows far outside the view repaint when they scroll in; a change to a long list's
    // categories must not repaint all of it.
    auto* viewport = findParentComponentOfClass<juce::Viewport>();
    if (viewport == nullptr)
        return;

    const auto mine = viewport->getLocalArea (this, getLocalBounds());
    if (mine.intersects (viewport->getLocalBounds().expanded (0, getHeight())))
        repaint();
}

void CueComponent::setFontIfDifferent (juce::Label& label, const juce::Font& font)
{
    if (label.getFont() != font)
        label.setFont (font);
}

void CueComponent::setAlphaIfDifferent (juce::Component& c, float alpha)
{
    if (std::not_equal_to<float>() (c.getAlpha(), alpha))
        c.setAlpha (alpha);
}

void CueComponent::layoutNumber (juce::Rectangle<int>& r)
{
    setFontIfDifferent (numberLabel, monoFont (1.0f).withPointHeight (0.25454545f * (float) getHeight()));
    const auto width = juce::jmin (r.getWidth(), 38);
    numberLabel.setBounds (10, r.getY(), width, r.getHeight());
    r.removeFromLeft (width);
}

void CueComponent::resized()
{
    const int w = getWidth();
    const int h = getHeight();
    if (h == 0)
        return;

    const int k = (int) barWidth;

    setFontIfDifferent (nameLabel, juce::Font (juce::Font::getDefaultSansSerifFontName(), "Regular", 1.0f)
                                       .withPointHeight (0.4f * (float) h));
    setFontIfDifferent (timeLabel, monoFont (1.0f).withPointHeight (0.3090909f * (float) h));

    juce::Rectangle<int> r (0, 0, w, h);
    layoutNumber (r);

    const auto timeFont = timeLabel.getFont();
    const auto textWidth = getTextBounds (timeFont, timeLabel.getText()).getWidth();
    const int timeWidth = juce::jmin (r.getWidth(), (int) ((1.0f + 0.003f * (float) h) * textWidth));
    const int timeHeight = (int) (1.25f * timeFont.getHeightInPoints());
    timeLabel.setBounds (r.getX() + r.getWidth() - 2 * k - timeWidth, r.getY() + (r.getHeight() - timeHeight) / 2 + 2,
                         timeWidth, timeHeight);

    const int nameHeight = (int) (1.25f * nameLabel.getFont().getHeightInPoints());
    const int left = r.getX() + k;
    const int rightLimit = timeLabel.getX() - 5;
    nameLabel.setBounds (juce::jmin (rightLimit, left), r.getY() + (r.getHeight() - nameHeight) / 2,
                         juce::jmax (0, rightLimit - left), nameHeight);

    background.clear();
    background.addRoundedRectangle (0.0f, 5.0f, (float) juce::jmax (0, w), (float) juce::jmax (0, h - 10),
                                    barWidth * 0.5f);
}

void CueComponent::paint (juce::Graphics& g)
{
    auto c = cue.lock();
    if (c == nullptr)
        return;

    const int w = juce::jmax (0, getWidth());
    const juce::Rectangle<float> area (0.0f, 5.0f, (float) w, (float) juce::jmax (0, getHeight() - 10));

    g.reduceClipRegion (background);

    const auto colour = c->getDisplayColor();
    g.setColour (colour.withBrightness (0.1f).withAlpha (colour.isTransparent() ? 0.0f : 1.0f));
    g.fillRect (area);

    if (finished)
        return;

    if (nameLabel.getText().containsIgnoreCase ("rainbow"))
    {
        juce::ColourGradient gradient;
        gradient.point1 = { 0.0f, 5.0f };
        gradient.point2 = { (float) w, area.getHeight() + 5.0f };
        gradient.isRadial = false;
        for (int i = 0; i < 6; ++i)
        {
            const double t = i / 6.0;
            const auto hue = (float) std::fmod (t + progress, 1.0);
            gradient.addColour (t, juce::Colour::fromHSV (hue, 1.0f, 1.0f, 1.0f));
        }
        g.setGradientFill (gradient);
    }
    else
    {
        g.setColour (colour);
    }

    drawProgress (g, area);
}

void CueComponent::drawProgress (juce::Graphics& g, juce::Rectangle<float> area)
{
    g.fillRoundedRectangle (0.0f, area.getY(), juce::jmax ((float) getWidth() * progress, 10.0f), area.getHeight(),
                            5.0f);
}
