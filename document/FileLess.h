#pragma once

#include "document/DocumentWriter.h"
#include "document/PreferencesHandler.h"
#include <juce_data_structures/juce_data_structures.h>
#include <juce_gui_basics/juce_gui_basics.h>

/** Keeps one value-tree document bound to one file without an explicit save: every change
    is written back one second after the last change of a burst. New, open and save-as only
    decide which file is current. The message thread only takes a snapshot of the tree; a
    writer thread formats and writes it. A write that fails keeps the edit: it is retried
    every second and reported once with the file and the reason, and New, Open and a quit do
    not leave the document while it fails or while its write has not finished within
    leaveWaitMs. Also owns the one undo manager of the process. */
class FileLess : private juce::ValueTree::Listener,
                 private juce::Timer,
                 public PreferencesHandler
{
public:
    explicit FileLess (const juce::String& minimumVersion);
    ~FileLess() override;

    /** Called after a document was loaded or a new one made, so the owner can rebind. */
    std::function<void()> documentLoaded;
    /** Called with false at each change and with the write result after each autosave. */
    std::function<void (bool)> savedStateChanged;

    /** Hands the chosen file (or an empty File when cancelled) to the callback. Defaults to
        the framework's asynchronous file chooser; tests replace it to hand in a file. */
    std::function<void (std::function<void (const juce::File&)>)> chooseFileToOpen;

    juce::ValueTree getOrCreateChild (const juce::Identifier& type);
    juce::ValueTree getRoot() const { return root; }

    /** False (with the write-failure dialog) when the document being left could not be written. */
    bool newDocument();
    void openDocument (std::function<void()> completion);
    void saveDocumentAs (const juce::String& name);
    void loadDocument (const juce::File& file, std::function<void()> completion);

    /** The file the document is written to; it stays the target even when the file was
        deleted or moved away meanwhile (the next write puts it back). */
    juce::File getDocumentFile() const { return documentFile; }
    bool isSaved() const { return saved; }
    /** True while a change waits for its autosave or its write has not finished. */
    bool isWritePending() const { return isTimerRunning() || (writer != nullptr && writer->isBusy()); }

    /** Writes a change that is still waiting for its autosave at once and waits for the
        write (at most leaveWaitMs); false when it has not finished by then. */
    bool flushPendingWrite();

    /** Before the document is left (New, Open, quit): writes a pending change now. True when
        the file holds every edit; otherwise shows the write-failure dialog and returns false. */
    bool flushBeforeLeaving();

    /** Why the latest write failed ("disk full", ...); empty when it succeeded. */
    juce::String getWriteFailure() const { return writeFailure; }

    /** How long New, Open and a quit wait for the last write before they count it as failed. */
    int leaveWaitMs = 5000;

    /** Replaces the layer that writes the files (tests: a failing or stalling one). */
    void setFileLayer (DocumentWriter::FileLayer layer) { writer->setFileLayer (std::move (layer)); }

    static juce::String getFileExtension() { return ".xml"; }
    static juce::String getFileFilters() { return "*.xml"; }
    static juce::File getUntitledFile (const juce::File& folder);
    static bool isVersionAtLeast (const juce::String& version, const juce::String& minimum);

    static juce::UndoManager* getUndoManager();

protected:
    juce::ValueTree root;

    /** Replaces the root without counting as a change. */
    void replaceRoot (juce::ValueTree newRoot);

private:
    bool saved = true;
    std::unique_ptr<juce::FileChooser> chooser;
    juce::String minimumVersion;
    juce::File documentFile;
    // A failed write keeps the edit: the timer retries every second until a write succeeds.
    juce::String writeFailure;
    juce::File failedFile;
    juce::String shownFailure;
    // Counts the changes, so that a finished write knows whether it holds the latest one.
    juce::uint64 changeCount = 0;
    std::unique_ptr<DocumentWriter> writer;

    void setDocumentFile (const juce::File& file);
    void changed();
    void timerCallback() override;
    void submitSnapshot();
    void written (const DocumentWriter::Outcome& outcome);
    juce::String describeWriteFailure() const;
    void showWriteFailure();

    void valueTreePropertyChanged (juce::ValueTree&, const juce::Identifier&) override { changed(); }
    void valueTreeChildAdded (juce::ValueTree&, juce::ValueTree&) override { changed(); }
    void valueTreeChildRemoved (juce::ValueTree&, juce::ValueTree&, int) override { changed(); }
    void valueTreeChildOrderChanged (juce::ValueTree&, int, int) override { changed(); }

    JUCE_DECLARE_WEAK_REFERENCEABLE (FileLess)
};
