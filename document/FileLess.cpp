#include "document/FileLess.h"

#include "document/Identifiers.h"
#include "document/XmlFile.h"
#include "ui/kit/DialogPresenter.h"

namespace
{
juce::UndoManager* processUndoManager = nullptr;

const juce::String runningVersion { JUCE_APPLICATION_VERSION_STRING };

void showOk (const juce::String& title, const juce::String& text)
{
    DialogPresenter::getInstance()->show (title, text, { "Ok" });
}

std::unique_ptr<juce::XmlElement> readDocument (const juce::File& file)
{
    auto xml = XmlFile::read (file);
    // The root name is compared exactly: "vantrel" is somebody else's document.
    if (xml != nullptr && xml->getTagName() != IDs::Vantrel.toString())
        return nullptr;
    return xml;
}

juce::String versionOf (const juce::XmlElement& xml)
{
    return xml.getStringAttribute (IDs::version, "1.0.0");
}
}

juce::UndoManager* FileLess::getUndoManager()
{
    return processUndoManager;
}

FileLess::FileLess (const juce::String& minVersion)
    : minimumVersion (minVersion), writer (std::make_unique<DocumentWriter>())
{
    writer->onWritten = [this] (const DocumentWriter::Outcome& outcome) { written (outcome); };

    if (processUndoManager == nullptr)
        processUndoManager = new juce::UndoManager();

    chooseFileToOpen = [this] (std::function<void (const juce::File&)> done)
    {
        chooser = std::make_unique<juce::FileChooser> ("Load Vantrel document...", getBrowseFolder(),
                                                       getFileFilters(), true);
        juce::WeakReference<FileLess> self (this);
        chooser->launchAsync (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                              [self, done] (const juce::FileChooser& fc)
                              {
                                  if (self != nullptr)
                                      done (fc.getResult());
                              });
    };

    const auto lastUsed = getLastUsedFile();
    auto xml = readDocument (lastUsed);
    if (xml != nullptr && isVersionAtLeast (versionOf (*xml), minimumVersion))
    {
        root = juce::ValueTree::fromXml (*xml);
        documentFile = lastUsed;
    }
    else
    {
        root = juce::ValueTree (IDs::Vantrel);
        setDocumentFile (getUntitledFile (getSettingsFolder()));
    }

    root.setProperty (IDs::version, runningVersion, nullptr);
    root.addListener (this);
}

FileLess::~FileLess()
{
    // A change younger than the autosave delay, or one whose write failed, is written now
    // rather than lost. No dialog any more: the quit already warned about a failing write.
    if (isTimerRunning())
    {
        stopTimer();
        submitSnapshot();
    }
    // Every write handed in finishes before the document goes.
    writer.reset();
    root.removeListener (this);

    if (processUndoManager != nullptr)
    {
        delete processUndoManager;
        processUndoManager = nullptr;
    }
}

void FileLess::replaceRoot (juce::ValueTree newRoot)
{
    root.removeListener (this);
    root = newRoot;
    root.addListener (this);
}

void FileLess::setDocumentFile (const juce::File& file)
{
    documentFile = file;
    setLastUsedFile (file);
}

juce::ValueTree FileLess::getOrCreateChild (const juce::Identifier& type)
{
    auto child = root.getChildWithName (type);
    if (! child.isValid())
    {
        child = juce::ValueTree (type);
        root.appendChild (child, nullptr);
    }
    return child;
}

void FileLess::changed()
{
    ++changeCount;
    saved = false;
    if (savedStateChanged)
        savedStateChanged (false);
    startTimer (1000);
}

void FileLess::submitSnapshot()
{
    // The copy shares its texts with the tree, so it is cheap; everything slow happens on
    // the writer's thread.
    writer->submit ({ root.createCopy(), documentFile, getSettingsFolder().getChildFile ("preferences/verts.dat"),
                      changeCount });
}

void FileLess::timerCallback()
{
    stopTimer();
    submitSnapshot();
}

void FileLess::written (const DocumentWriter::Outcome& outcome)
{
    if (outcome.result.wasOk())
    {
        writeFailure.clear();
        failedFile = juce::File();
        // The failure is over: its dialog goes, if it is still up.
        if (shownFailure.isNotEmpty())
        {
            auto* presenter = DialogPresenter::getInstance();
            if (presenter->getShownMessage() == shownFailure)
                presenter->dismiss();
            shownFailure.clear();
        }
        // A write of an older state says nothing: the newer one is on its way.
        if (outcome.change != changeCount)
            return;
        stopTimer();
        saved = true;
    }
    else
    {
        // The edit exists only here: keep trying, and tell the operator once for each new
        // file or reason rather than every second.
        saved = false;
        writeFailure = outcome.result.getErrorMessage();
        failedFile = outcome.target;
        if (! isTimerRunning())
            startTimer (1000);
        if (describeWriteFailure() != shownFailure)
            showWriteFailure();
    }

    if (savedStateChanged)
        savedStateChanged (saved);
}

bool FileLess::flushPendingWrite()
{
    if (isTimerRunning())
    {
        stopTimer();
        submitSnapshot();
    }
    return writer->waitUntilDone (leaveWaitMs);
}

juce::String FileLess::describeWriteFailure() const
{
    return "I couldn't write " + failedFile.getFullPathName() + ": " + writeFailure
           + ". I keep your changes and try again every second.";
}

void FileLess::showWriteFailure()
{
    shownFailure = describeWriteFailure();
    DialogPresenter::getInstance()->show ("Uh-oh! Save error...", shownFailure, { "Ok" });
}

bool FileLess::flushBeforeLeaving()
{
    if (! flushPendingWrite())
    {
        // A write that does not end is a failed one as far as leaving goes; its own outcome,
        // when it comes, decides what happens next.
        saved = false;
        writeFailure = "the disk did not finish the write in time";
        failedFile = documentFile;
        showWriteFailure();
        if (savedStateChanged)
            savedStateChanged (false);
        return false;
    }
    if (writeFailure.isEmpty())
        return true;
    showWriteFailure();
    return false;
}

void FileLess::loadDocument (const juce::File& file, std::function<void()> completion)
{
    if (file.getFullPathName().isEmpty())
        return;

    auto xml = readDocument (file);
    if (xml == nullptr)
    {
        showOk ("Oh no! Load error...", "I couldn't read that file. Are you sure it's a valid Vantrel document?");
        return;
    }
    if (! isVersionAtLeast (versionOf (*xml), minimumVersion))
    {
        showOk ("Whoops! Older version eror...",
                "This file can't be loaded, because it was created using an older version and this version cannot read it.");
        return;
    }

    // Edits of the document being left are written to its own file first; a document
    // whose file cannot take them is not left.
    if (! flushBeforeLeaving())
        return;

    replaceRoot (juce::ValueTree::fromXml (*xml));
    if (documentLoaded)
        documentLoaded();
    getUndoManager()->clearUndoHistory();
    setDocumentFile (file);
    if (completion)
        completion();
}

void FileLess::openDocument (std::function<void()> completion)
{
    if (! flushBeforeLeaving())
        return;

    juce::WeakReference<FileLess> self (this);
    chooseFileToOpen ([self, completion] (const juce::File& file)
                      {
                          if (self != nullptr && file != juce::File())
                              self->loadDocument (file, completion);
                      });
}

bool FileLess::newDocument()
{
    if (! flushBeforeLeaving())
        return false;

    root.removeListener (this);
    root.removeAllChildren (getUndoManager());
    if (documentLoaded)
        documentLoaded();
    getUndoManager()->clearUndoHistory();
    setDocumentFile (getUntitledFile (getBrowseFolder()));
    root.addListener (this);
    return true;
}

void FileLess::saveDocumentAs (const juce::String& name)
{
    const bool usable = name.trim().isNotEmpty() && ! name.containsAnyOf ("/\\")
                        && name != "." && name != "..";
    const auto target = getBrowseFolder().getChildFile (name + getFileExtension());

    if (! usable || target.isDirectory())
    {
        showOk ("Invalid File Name", "A document can't be saved under that name.");
        return;
    }
    if (target.exists())
    {
        showOk ("Duplicate File Name", "A file with that name already exists.");
        return;
    }

    if (! target.create())
    {
        showOk ("Invalid File Name", "A document can't be saved under that name.");
        return;
    }
    setDocumentFile (target);
    ++changeCount;
    saved = false;
    if (savedStateChanged)
        savedStateChanged (false);
    startTimer (1000);
}

juce::File FileLess::getUntitledFile (const juce::File& folder)
{
    folder.createDirectory();
    for (int n = 1;; ++n)
    {
        const auto name = juce::String ("Untitled Vantrel Document") + (n > 1 ? " " + juce::String (n) : juce::String())
                          + getFileExtension();
        auto candidate = folder.getChildFile (name);
        if (candidate.getSize() == 0 && ! candidate.isDirectory())
        {
            if (! candidate.existsAsFile())
                candidate.create();
            return candidate;
        }
    }
}

bool FileLess::isVersionAtLeast (const juce::String& version, const juce::String& minimum)
{
    auto fields = [] (const juce::String& text)
    {
        juce::StringArray parts;
        parts.addTokens (text, ".", "");
        std::array<int, 3> numbers {};
        for (int i = 0; i < 3; ++i)
            numbers[(size_t) i] = parts[i].initialSectionContainingOnly ("0123456789").getIntValue();
        return numbers;
    };
    return fields (version) >= fields (minimum);
}
