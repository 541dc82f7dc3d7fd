// The CSV constructor's reading of a marker export (one cue per data line).

#include "model/CueList.h"

#include "model/CsvReader.h"
#include "ui/kit/DialogPresenter.h"

namespace
{
enum class ImportMessage
{
    refusedFormat,
    unsupportedTimecode,
    unreadable,
    noCues
};

void tell (ImportMessage message)
{
    switch (message)
    {
        case ImportMessage::refusedFormat:
            DialogPresenter::showAsync ("Oops...",
                                        "It looks like you're exporting from Tallypin using the 'Spreadsheet' format, "
                                        "which is currently not supported in Vantrel. Please use the 'Avo & Reaper' "
                                        "format instead... ",
                                        { "OK" });
            break;
        case ImportMessage::unsupportedTimecode:
            DialogPresenter::showAsync ("Oops...",
                                        "It looks like you're exporting from Reaper in an unsupported format. Please "
                                        "use the 'Hours:Minutes:Seconds:Frames' format instead... ",
                                        { "OK" });
            break;
        case ImportMessage::unreadable:
            DialogPresenter::showAsync ("Hmmm...",
                                        "That's weird, I wasn't open that file. Like, at all. Are you sure it's not "
                                        "empty or something?",
                                        { "OK" });
            break;
        case ImportMessage::noCues:
            DialogPresenter::showAsync ("Hmmm...",
                                        "I tried long and hard, but I wasn't able to find any valid cues in that file. "
                                        "Are you sure it's in the correct format?",
                                        { "OK" });
            break;
    }
}

/** The decimal digits at the end of a text, negative with a '-' right before them; 0 when
    the text does not end in a digit. Clamped to 32 bits. */
int trailingInteger (const juce::String& text)
{
    const int end = text.length();
    int start = end;
    while (start > 0 && juce::CharacterFunctions::isDigit (text[start - 1]))
        --start;
    if (start == end)
        return 0;

    int64_t value = 0;
    for (int i = start; i < end; ++i)
        value = juce::jmin<int64_t> (value * 10 + (text[i] - '0'), std::numeric_limits<int32_t>::max());
    return (int) ((start > 0 && text[start - 1] == '-') ? -value : value);
}

int findColumn (const juce::StringArray& header, const char* name)
{
    for (int i = 0; i < header.size(); ++i)
        if (header[i].equalsIgnoreCase (name))
            return i;
    return -1;
}

bool isRefusedHeader (const juce::StringArray& header)
{
    return header == juce::StringArray ({ "Track", "Type", "Position", "Cue No", "Label", "Fade" });
}
}

void CueList::importCsv (const juce::File& file, int fps)
{
    const auto baseName = file.getFileNameWithoutExtension();
    tree.setProperty (IDs::file, file.getFullPathName(), nullptr);
    tree.setProperty (IDs::name, baseName.upToFirstOccurrenceOf ("(", false, false).trim(), nullptr);
    tree.setProperty (IDs::fps, fps, nullptr);

    std::unique_ptr<juce::FileInputStream> stream;
    if (! file.isDirectory())
        stream = file.createInputStream();
    if (stream == nullptr || ! stream->openedOk())
    {
        tell (ImportMessage::unreadable);
        return;
    }

    // Cues are gathered here and only become the list's once the whole file was accepted.
    Cues read;
    CsvReader reader (*stream);
    juce::StringArray fields;
    int numberColumn = -1, nameColumn = -1, startColumn = -1, colorColumn = -1;

    for (int lineNumber = 0; reader.readLine (fields); ++lineNumber)
    {
        if (lineNumber == 0)
        {
            if (isRefusedHeader (fields))
            {
                tell (ImportMessage::refusedFormat);
                return;
            }
            numberColumn = findColumn (fields, "#");
            nameColumn = findColumn (fields, "Name");
            startColumn = findColumn (fields, "Start");
            colorColumn = findColumn (fields, "Color");
            if (startColumn < 0)
                break;
            continue;
        }

        // StringArray gives an empty text for a field that a short line lacks.
        const auto start = fields[startColumn];
        if (start.isEmpty() || start.retainCharacters (":").length() != 3)
        {
            tell (ImportMessage::unsupportedTimecode);
            return;
        }

        int number = numberColumn >= 0 ? trailingInteger (fields[numberColumn]) : 0;
        if (number == 0)
            number = (int) read.size() + 1;

        auto colour = juce::Colour (0xff0681ff);
        if (colorColumn >= 0 && fields[colorColumn].isNotEmpty())
            colour = juce::Colour::fromString ("FF" + fields[colorColumn]);

        auto cue = std::make_shared<Cue> (juce::String (number), nameColumn >= 0 ? fields[nameColumn] : juce::String(),
                                          start, colour, categoryManager.get());
        read.push_back (std::move (cue));
    }

    if (reader.failed())
    {
        tell (ImportMessage::unreadable);
        return;
    }
    if (read.empty())
    {
        tell (ImportMessage::noCues);
        return;
    }

    cues = std::move (read);
    setCueStartsFromTimecode (getOffset(), fps);
    std::stable_sort (cues.begin(), cues.end(), [] (const auto& a, const auto& b) { return Cue::compareByTime (*a, *b); });
    updateStart (fps);

    tree.removeListener (this);
    auto cuesNode = getCuesNode();
    if (! cuesNode.isValid())
    {
        cuesNode = juce::ValueTree (IDs::Cues);
        tree.appendChild (cuesNode, nullptr);
    }
    cuesNode.removeAllChildren (nullptr);
    for (auto& cue : cues)
    {
        cuesNode.appendChild (cue->getTree(), nullptr);
        cue->addListener (this);
    }
    tree.addListener (this);
}
