#include "pages/TimetableEditor.h"

#include "document/Identifiers.h"
#include "ui/TimetableCueComponent.h"

TimetableEditor::TimetableEditor (std::shared_ptr<CueListManager> lists, std::shared_ptr<CategoryManager> categories)
    : cueListManager (std::move (lists)), categoryManager (std::move (categories))
{
    nameLabel.setFont (juce::Font (juce::Font::getDefaultSansSerifFontName(), 23.0f, juce::Font::bold));
    nameLabel.setEditable (false, true, false);

    cueListManager->addListener (this);
    setTimetable();
    addAndMakeVisible (nameLabel);
}

TimetableEditor::~TimetableEditor()
{
    cueListManager->removeListener (this);
    if (timetable != nullptr)
        timetable->removeListener (this);
}

void TimetableEditor::setTimetable()
{
    auto current = cueListManager->getTimetable();
    if (current == timetable)
        return;

    if (timetable != nullptr)
        timetable->removeListener (this);
    timetable = current;

    if (timetable != nullptr)
    {
        timetable->addListener (this);
        cueListNameChanged();
        // A timetable made anew gets rows for its own cues.
        rows.clear();
        rebuild();
        nameLabel.setVisible (true);
        nameLabel.onTextChange = [this, shown = std::weak_ptr<CueList> (timetable)]
        {
            // Opens "Set CueList Name".
            if (auto list = shown.lock())
                list->setName (nameLabel.getText());
        };
    }
    else
    {
        rows.clear();
        nameLabel.setVisible (false);
        nameLabel.onTextChange = nullptr;
    }

    updateContentHeight();
}

void TimetableEditor::cueListNameChanged()
{
    if (timetable != nullptr)
        nameLabel.setText (timetable->getName(), juce::dontSendNotification);
}

void TimetableEditor::rebuild()
{
    if (timetable == nullptr)
        return;

    const auto& cues = timetable->getCues();
    const int n = (int) cues.size();

    rows.removeRange (n, rows.size() - n);
    while (rows.size() < n)
    {
        auto* row = rows.add (new EditableCueWrapper (timetable));
        row->setCueComponent (std::make_unique<TimetableCueComponent>());
        addAndMakeVisible (row);
        const int index = rows.size() - 1;
        row->setBounds (10, rowHeight * index + rowsTop, juce::jmax (0, getWidth() - 20), rowHeight);
    }

    const int fps = (int) timetable->getTree()[IDs::fps];
    for (int i = 0; i < n; ++i)
        rows.getUnchecked (i)->setCue (cues[(size_t) i], fps);

    updateContentHeight();
}

void TimetableEditor::updateContentHeight()
{
    // setContentHeight resizes the editor at once when it knows its viewport.
    setContentHeight (rowHeight * rows.size() + rowsTop);
}

void TimetableEditor::resized()
{
    const int w = getWidth(), h = getHeight();
    const int b = juce::jmax (0, w - 20);
    const int c = juce::jmin (juce::jmax (0, h), rowHeight);

    nameLabel.setBounds (10, 6, b, juce::jmax (0, c - 12));

    int y = c + juce::jmax (0, juce::jmin (h - c, 5));
    for (auto* row : rows)
    {
        const int height = juce::jmin (rowHeight, juce::jmax (0, h - y));
        row->setBounds (10, y, b, height);
        y += height;
    }
}

void TimetableEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}
