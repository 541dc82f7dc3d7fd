#pragma once

#include <juce_core/juce_core.h>

/** The one table of value-tree type and property names. Names are case-sensitive and are
    the element and attribute names of the stored files. */
namespace IDs
{
#define VANTREL_ID(name, text) inline const juce::Identifier name { text };

// Document root and its children
VANTREL_ID (Vantrel, "Vantrel")
VANTREL_ID (version, "version")
VANTREL_ID (Settings, "Settings")
VANTREL_ID (data, "data")

// Cue lists and cues
VANTREL_ID (CueLists, "CueLists")
VANTREL_ID (CueList, "CueList")
VANTREL_ID (uuid, "uuid")
VANTREL_ID (name, "name")
VANTREL_ID (offset, "offset")
VANTREL_ID (fps, "fps")
VANTREL_ID (file, "file")
VANTREL_ID (audiofile, "audiofile")
VANTREL_ID (start, "start")
VANTREL_ID (timetable, "timetable")
VANTREL_ID (Cues, "Cues")
VANTREL_ID (cue, "cue")
VANTREL_ID (id, "id")
VANTREL_ID (number, "number")
VANTREL_ID (text, "text")
VANTREL_ID (tc, "tc")
VANTREL_ID (millis, "millis")
VANTREL_ID (duration, "duration")
VANTREL_ID (color, "color")
VANTREL_ID (displayColor, "displayColor")
VANTREL_ID (category, "category")

// Web-client servers
VANTREL_ID (Servers, "Servers")
VANTREL_ID (IP, "IP")
VANTREL_ID (Server, "Server")
VANTREL_ID (port, "port")

// Colour masks ("color" doubles as the type of a mask entry)
VANTREL_ID (ColorMask, "ColorMask")
VANTREL_ID (hex, "hex")

// Settings-file roots
VANTREL_ID (Categories, "Categories")
VANTREL_ID (Category, "Category")
VANTREL_ID (Defaults, "Defaults")

#undef VANTREL_ID
}
