#pragma once

#include "document/FileLess.h"

/** The show document: accepts documents from version "0.0.4" on and gives a new document
    the standard children. */
class AppData : public FileLess
{
public:
    AppData();

    static juce::UndoManager* getUndoManager() { return FileLess::getUndoManager(); }
};
