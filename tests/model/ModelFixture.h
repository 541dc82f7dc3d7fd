#pragma once

#include "document/AppData.h"
#include "support/MessageLoop.h"
#include "support/TempHome.h"
#include <gtest/gtest.h>

namespace test
{
/** A temporary home with the document data, so that the process-wide undo manager exists
    and every settings file lands in a fresh folder. */
class ModelFixture : public ::testing::Test
{
protected:
    TempHome home;
    std::unique_ptr<AppData> appData = std::make_unique<AppData>();

    juce::UndoManager& undoManager() { return *AppData::getUndoManager(); }
    juce::File preferencesFile (const juce::String& name) const
    {
        return home.getPreferencesFolder().getChildFile (name);
    }
};
}
