#include "ui/TimetableCueComponent.h"

#include "document/AppData.h"
#include "time/Timecode.h"
#include "time/WholeMillis.h"
#include "ui/CueDrawing.h"

namespace
{
constexpr double dayMs = Cue::dayMs;

/** Hours and minutes of a time, taken as a time of day. */
juce::String hoursAndMinutes (double ms, int fps)
{
    const auto day = static_cast<int64_t> (Cue::dayMs);
    const auto ofDay = ((toWholeMillis<int64_t> (ms) % day) + day) % day;
    return Timecode::fromMillis ((double) ofDay, fps).toString (4).substring (0, 5);
}

bool isDigits (const juce::String& text)
{
    return text.isNotEmpty() && text.containsOnly ("0123456789");
}
}

std::optional<double> TimetableCueComponent::parseTimeOfDay (const juce::String& text, int fps)
{
    const auto trimmed = text.trim();
    const auto hours = trimmed.upToFirstOccurrenceOf (":", false, false);
    const auto minutes = trimmed.fromFirstOccurrenceOf (":", false, false);
    if (! trimmed.containsChar (':') || hours.length() > 2 || minutes.length() != 2 || ! isDigits (hours)
        || ! isDigits (minutes))
        return std::nullopt;
    if (hours.getIntValue() > 23 || minutes.getIntValue() > 59)
        return std::nullopt;

    return Timecode::fromString (trimmed + ":00:00").toMillis (juce::jmax (1, fps));
}

void TimetableCueComponent::makeTimesEditable()
{
    if (! nameEditable)
        return;

    numberLabel.setEditable (false, true, true);
    timeLabel.setEditable (false, true, true);
    numberLabel.onTextChange = [this]
    {
        if (auto* um = AppData::getUndoManager())
            um->beginNewTransaction ("Change Cue Start");
        applyEditedTimes();
    };
    timeLabel.onTextChange = [this]
    {
        if (auto* um = AppData::getUndoManager())
            um->beginNewTransaction ("Change Cue End");
        applyEditedTimes();
    };
}

void TimetableCueComponent::applyEditedTimes()
{
    auto c = cue.lock();
    if (c == nullptr)
        return;

    const auto start = parseTimeOfDay (numberLabel.getText(), fps);
    auto end = parseTimeOfDay (timeLabel.getText(), fps);
    if (start.has_value() && end.has_value())
    {
        // An end before the start lies on the next day.
        if (*start > *end)
            *end += dayMs;
        c->setRange ({ *start, juce::jmax (*end, *start) }, true);
    }
    // Shows what the cue holds: the times as written, or the old ones after a refused text.
    showTimes();
}

void TimetableCueComponent::cueTimeChanged (Cue*, bool)
{
    showTimes();
}

void TimetableCueComponent::showTimes()
{
    auto c = cue.lock();
    if (c == nullptr)
        return;

    const auto range = c->getRange();
    timeLabel.setText (hoursAndMinutes (range.getEnd(), fps), juce::dontSendNotification);
    numberLabel.setText (hoursAndMinutes (range.getStart(), fps), juce::dontSendNotification);
    numberLabel.setColour (juce::Label::textColourId, juce::Colours::white.withAlpha ((juce::uint8) 204));
    if (numberLabel.getJustificationType() != juce::Justification::centredLeft)
    {
        numberLabel.setJustificationType (juce::Justification::centredLeft);
        numberLabel.repaint();
    }
}

juce::String TimetableCueComponent::getTimeText (const TimeInfo& info) const
{
    auto c = cue.lock();
    if (c == nullptr)
        return {};

    const auto range = c->getRange();
    const double s = range.getStart(), e = range.getEnd();
    const double t = info.time;

    // A cue that runs across midnight is under way after midnight too.
    if ((s <= t && t < e) || (s <= t + dayMs && t + dayMs < e))
    {
        const double end = toWholeMillis<int64_t> (e);
        const double remaining = end + (end < t ? dayMs : 0.0) - t;
        return "-" + Timecode::fromMillis (remaining, fps).toString (3).substring (0, 5);
    }
    return hoursAndMinutes (e, fps);
}

void TimetableCueComponent::updateTimeVisibility()
{
    const float alpha = finished ? 0.2f : 0.8f;
    if (std::not_equal_to<float>() (timeLabel.getAlpha(), alpha))
        timeLabel.setAlpha (alpha);
    timeLabel.setVisible (true);
}

void TimetableCueComponent::layoutNumber (juce::Rectangle<int>& r)
{
    const auto h = (float) getHeight();
    const auto font = juce::Font ("Droid Sans Mono", "Regular", 1.0f).withPointHeight (0.3090909f * h);
    if (numberLabel.getFont() != font)
        numberLabel.setFont (font);

    const auto textWidth = getTextBounds (font, numberLabel.getText()).getWidth();
    const int n = juce::jmax (0, (int) ((1.0f + 0.003f * h) * textWidth));
    const int labelHeight = (int) (1.25f * timeLabel.getFont().getHeightInPoints());
    const int left = (int) barWidth;
    numberLabel.setBounds (left, r.getY() + (r.getHeight() - labelHeight) / 2, n, labelHeight);
    r.setLeft (juce::jmin (left + n, r.getRight()));
}

void TimetableCueComponent::drawProgress (juce::Graphics& g, juce::Rectangle<float> area)
{
    // The bar shrinks from the left as the cue runs: what is left of it is the time that remains.
    const auto w = (float) getWidth();
    const auto d = w * progress;
    g.fillRoundedRectangle (juce::jmin (w, d), area.getY(), juce::jmax (0.0f, w - d), area.getHeight(), 5.0f);
}

juce::Rectangle<int> TimetableCueComponent::getChangedProgressArea (float from, float to) const
{
    const auto band = getLocalBounds().withTrimmedTop (5).withTrimmedBottom (5);
    // A rainbow bar shifts its colours along all of its length.
    if (nameLabel.getText().containsIgnoreCase ("rainbow"))
        return band;

    // Only the bar's left end moves. Its rounded end reaches in by the corner size, with
    // anti-aliasing a pixel either side; a bar too short for two whole corners changes its
    // shape all along, up to the right edge.
    const auto w = (float) getWidth();
    const auto start = [w] (float p) { return juce::jmin (w, w * p); };
    const float left = juce::jmin (start (from), start (to));
    const float right = juce::jmax (start (from), start (to));
    const int x0 = juce::jmax (0, (int) std::floor (left) - 1);
    const int x1 = w - right < 12.0f ? band.getRight() : (int) std::ceil (right) + 6;
    auto changed = band.withLeft (x0).withRight (juce::jmin (band.getRight(), juce::jmax (x0, x1)));

    // A label drawn through a clip that cuts it can come out a level or two off the label drawn
    // whole (its faded text and shadow are blended from where the clip starts): one the bar's
    // end lies under is drawn again whole. The labels sit side by side, so one round does.
    for (const juce::Label* label : { &numberLabel, &nameLabel, &timeLabel })
        if (label->isVisible() && changed.intersects (label->getBounds()))
            changed = changed.getUnion (label->getBounds());
    return changed;
}
