#include "document/AppData.h"
#include "document/Identifiers.h"
#include "document/TreeText.h"
#include "document/XmlFile.h"
#include "support/HostileFiles.h"
#include "support/LargeShow.h"
#include "support/MessageLoop.h"
#include "support/SmallDisk.h"
#include "support/TempHome.h"
#include "ui/kit/DialogPresenter.h"

#include <atomic>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

namespace
{
const char* emptyDocument = "<Vantrel version=\"1.1.0.643\">\r\n"
                            "  <Settings/>\r\n"
                            "  <CueLists/>\r\n"
                            "  <Servers IP=\"0.0.0.0\"/>\r\n"
                            "  <Categories/>\r\n"
                            "  <ColorMask/>\r\n"
                            "</Vantrel>\r\n";

/** Counts the saved-state reports of a document. */
struct SaveLog
{
    explicit SaveLog (FileLess& doc)
    {
        doc.savedStateChanged = [this] (bool saved) { (saved ? writes : changes)++; last = saved; reports.push_back (saved); };
    }
    int changes = 0, writes = 0;
    std::vector<bool> reports;
    bool last = true;
};

juce::String shownDialog() { return DialogPresenter::getInstance()->getShownMessage(); }

void edit (FileLess& doc, const juce::var& value)
{
    doc.getOrCreateChild (IDs::CueLists).setProperty ("note", value, AppData::getUndoManager());
}

class Document : public ::testing::Test
{
protected:
    test::TempHome home;
    juce::File settings() const { return home.getSettingsFolder(); }
    juce::File untitled() const { return settings().getChildFile ("Untitled Vantrel Document.xml"); }

    juce::File writeFile (const juce::String& name, const juce::String& content) const
    {
        settings().createDirectory();
        auto f = settings().getChildFile (name);
        f.replaceWithText (content);
        return f;
    }
};
}

TEST_F (Document, FirstStartMakesAnEmptyUntitledFileThatFillsAtTheFirstChange)
{
    AppData doc;
    SaveLog log (doc);

    EXPECT_EQ (doc.getDocumentFile(), untitled());
    EXPECT_TRUE (untitled().existsAsFile());
    EXPECT_EQ (untitled().getSize(), 0);
    EXPECT_EQ (test::readBytes (home.getPreferencesFolder().getChildFile ("preferences.xml")),
               "<preferences>\r\n  <app version=\"1.1.0.643\"/>\r\n  <lastusedfile fullpathname=\""
                   + untitled().getFullPathName() + "\"/>\r\n</preferences>\r\n");

    test::pumpFor (1200);
    EXPECT_EQ (untitled().getSize(), 0) << "nothing is written before a change";

    edit (doc, 1);
    ASSERT_TRUE (test::pumpUntil ([&] { return log.writes == 1; }));
    juce::String expected (emptyDocument);
    expected = expected.replace ("<CueLists/>", "<CueLists note=\"1\"/>");
    EXPECT_EQ (test::readBytes (untitled()), expected);
    EXPECT_TRUE (doc.isSaved());
}

TEST_F (Document, TwoEditsHalfASecondApartGiveOneWrite)
{
    AppData doc;
    SaveLog log (doc);

    edit (doc, 1);
    test::pumpFor (500);
    edit (doc, 2);
    ASSERT_TRUE (test::pumpUntil ([&] { return log.writes == 1; }));
    test::pumpFor (1200);
    EXPECT_EQ (log.changes, 2);
    EXPECT_EQ (log.writes, 1);
    EXPECT_TRUE (test::readBytes (untitled()).contains ("note=\"2\""));
}

TEST_F (Document, ReopensTheLastUsedDocumentAndKeepsUnknownElements)
{
    {
        AppData doc;
        doc.getRoot().appendChild (juce::ValueTree ("Notes").setProperty ("text", "keep me", nullptr), nullptr);
    } // a pending change is written when the document data goes away

    ASSERT_TRUE (test::readBytes (untitled()).contains ("<Notes text=\"keep me\"/>"));
    AppData again;
    EXPECT_EQ (again.getDocumentFile(), untitled());
    EXPECT_EQ (again.getRoot().getChildWithName ("Notes")["text"].toString(), "keep me");
}

TEST_F (Document, StartUpRefusesOldForeignAndBrokenDocumentsSilently)
{
    const juce::String bodies[] = { "<Vantrel version=\"0.0.3\"><CueLists/></Vantrel>",
                                    "<vantrel version=\"1.1.0\"><CueLists/></vantrel>",
                                    "<Vantrel version=\"1.1.0\"><CueLists>",
                                    "" };
    for (const auto& body : bodies)
    {
        test::TempHome ownHome;
        auto shows = ownHome.getHome().getChildFile ("shows");
        shows.createDirectory();
        auto file = shows.getChildFile ("Show.xml");
        file.replaceWithText (body);
        {
            PreferencesHandler prefs;
            prefs.setLastUsedFile (file);
        }
        AppData doc;
        EXPECT_EQ (doc.getDocumentFile().getFileName(), "Untitled Vantrel Document.xml") << body;
        EXPECT_EQ (doc.getRoot().getNumChildren(), 5);
        EXPECT_EQ (test::readBytes (file), body) << "the refused file is left alone";
        EXPECT_TRUE (shownDialog().isEmpty());
    }
}

TEST_F (Document, VersionComparison)
{
    const struct
    {
        const char* version;
        bool accepted;
    } cases[] = { { "1.1.0.643", true }, { "0.0.4", true }, { "0.0.3", false }, { "1", true },
                  { "0.1", true },       { "0.0.4.0", true }, { "0..5", true }, { "x.y.z", false } };
    for (const auto& c : cases)
        EXPECT_EQ (FileLess::isVersionAtLeast (c.version, "0.0.4"), c.accepted) << c.version;
}

TEST_F (Document, LoadRefusalsShowTheirDialogAndChangeNothing)
{
    AppData doc;
    edit (doc, "current");
    const struct
    {
        const char* content;
        const char* message;
    } cases[] = {
        { "not xml", "I couldn't read that file. Are you sure it's a valid Vantrel document?" },
        { "<VANTREL version=\"1.1.0\"/>", "I couldn't read that file. Are you sure it's a valid Vantrel document?" },
        { "<Vantrel version=\"0.0.3\"/>",
          "This file can't be loaded, because it was created using an older version and this version cannot read it." },
    };
    for (const auto& c : cases)
    {
        DialogPresenter::getInstance()->dismiss();
        const auto file = writeFile ("Bad.xml", c.content);
        bool completed = false;
        doc.loadDocument (file, [&] { completed = true; });
        EXPECT_EQ (shownDialog(), c.message);
        EXPECT_FALSE (completed);
        EXPECT_EQ (doc.getDocumentFile(), untitled());
        EXPECT_EQ (doc.getRoot().getChildWithName (IDs::CueLists)["note"].toString(), "current");
    }
}

TEST_F (Document, LoadKeepsTheVersionClearsUndoAndIsNotAChange)
{
    const auto file = writeFile ("Gala.xml", "<Vantrel><CueLists/><ColorMask/><Servers/></Vantrel>");
    AppData doc;
    SaveLog log (doc);
    edit (doc, 1);
    ASSERT_TRUE (AppData::getUndoManager()->canUndo());

    int loaded = 0, completed = 0;
    doc.documentLoaded = [&] { ++loaded; };
    doc.loadDocument (file, [&] { ++completed; });

    EXPECT_EQ (loaded, 1);
    EXPECT_EQ (completed, 1);
    EXPECT_FALSE (AppData::getUndoManager()->canUndo());
    EXPECT_EQ (doc.getDocumentFile(), file);
    EXPECT_FALSE (doc.getRoot().hasProperty (IDs::version)) << "a loaded document keeps its version";
    const auto writesBefore = log.writes;
    test::pumpFor (1300);
    EXPECT_EQ (log.writes, writesBefore) << "loading alone writes nothing";
    EXPECT_EQ (test::readBytes (file), "<Vantrel><CueLists/><ColorMask/><Servers/></Vantrel>");
}

TEST_F (Document, EditsJustBeforeNewOrOpenReachTheOldFile)
{
    const auto other = writeFile ("Other.xml", "<Vantrel version=\"1.1.0\"><CueLists/></Vantrel>");
    AppData doc;

    edit (doc, "before-open");
    doc.loadDocument (other, {});
    EXPECT_TRUE (test::readBytes (untitled()).contains ("before-open"));

    edit (doc, "before-new");
    doc.newDocument();
    EXPECT_TRUE (test::readBytes (other).contains ("before-new"));
    EXPECT_EQ (doc.getDocumentFile().getFileName(), "Untitled Vantrel Document 2.xml");
}

TEST_F (Document, NewChoosesTheFirstEmptyUntitledFileOfTheFolder)
{
    AppData doc;
    writeFile ("Untitled Vantrel Document.xml", "<Vantrel/>");
    writeFile ("Untitled Vantrel Document 2.xml", "");
    doc.newDocument();
    EXPECT_EQ (doc.getDocumentFile().getFileName(), "Untitled Vantrel Document 2.xml");
    EXPECT_EQ (doc.getRoot().getNumChildren(), 0) << "the owner adds the children in documentLoaded";
    EXPECT_EQ (doc.getRoot()[IDs::version].toString(), "1.1.0.643");
    doc.newDocument();
    EXPECT_EQ (doc.getDocumentFile().getFileName(), "Untitled Vantrel Document 2.xml") << "still empty, so reused";
    EXPECT_FALSE (AppData::getUndoManager()->canUndo());
}

TEST_F (Document, SaveAs)
{
    AppData doc;
    SaveLog log (doc);
    writeFile ("Taken.xml", "<Vantrel/>");
    settings().getChildFile ("Folder.xml").createDirectory();

    const struct
    {
        const char* name;
        const char* message;
    } refused[] = { { "Taken", "A file with that name already exists." },
                    { "", "A document can't be saved under that name." },
                    { "   ", "A document can't be saved under that name." },
                    { "a/b", "A document can't be saved under that name." },
                    { "..\\up", "A document can't be saved under that name." },
                    { "Folder", "A document can't be saved under that name." } };
    for (const auto& r : refused)
    {
        DialogPresenter::getInstance()->dismiss();
        doc.saveDocumentAs (r.name);
        EXPECT_EQ (shownDialog(), r.message) << r.name;
        EXPECT_EQ (doc.getDocumentFile(), untitled());
    }

    doc.saveDocumentAs ("Gala");
    const auto gala = settings().getChildFile ("Gala.xml");
    EXPECT_TRUE (gala.existsAsFile());
    EXPECT_EQ (gala.getSize(), 0);
    EXPECT_FALSE (log.last);
    ASSERT_TRUE (test::pumpUntil ([&] { return log.writes == 1; }));
    EXPECT_EQ (test::readBytes (gala), emptyDocument);
}

TEST_F (Document, ADeletedDocumentIsWrittenAgainAndAFailedWriteIsReported)
{
    AppData doc;
    SaveLog log (doc);
    edit (doc, 1);
    ASSERT_TRUE (test::pumpUntil ([&] { return log.writes == 1; }));

    untitled().deleteFile();
    edit (doc, 2);
    ASSERT_TRUE (test::pumpUntil ([&] { return log.writes == 2; }));
    EXPECT_TRUE (test::readBytes (untitled()).contains ("note=\"2\""));

    // Now make the path unwritable: a folder stands where the file was.
    untitled().deleteFile();
    untitled().createDirectory();
    log.reports.clear();
    edit (doc, 3);
    ASSERT_TRUE (test::pumpUntil ([&] { return log.reports.size() >= 2; }));
    EXPECT_EQ (std::vector<bool> (log.reports.begin(), log.reports.begin() + 2), (std::vector<bool> { false, false }))
        << "the change, then the failed write";
    EXPECT_FALSE (doc.isSaved());
    EXPECT_EQ (doc.getWriteFailure(), "a folder has that name");

    // The folder goes: the retry puts the edit back in place.
    untitled().deleteRecursively();
    ASSERT_TRUE (test::pumpUntil ([&] { return doc.isSaved(); }, 5000));
    EXPECT_TRUE (test::readBytes (untitled()).contains ("note=\"3\""));
}

TEST_F (Document, UndoAndRedoAcrossASave)
{
    AppData doc;
    SaveLog log (doc);
    auto* um = AppData::getUndoManager();

    um->beginNewTransaction ("Edit");
    edit (doc, "first");
    ASSERT_TRUE (test::pumpUntil ([&] { return log.writes == 1; }));

    um->undo();
    ASSERT_TRUE (test::pumpUntil ([&] { return log.writes == 2; }));
    EXPECT_FALSE (test::readBytes (untitled()).contains ("first"));

    um->redo();
    ASSERT_TRUE (test::pumpUntil ([&] { return log.writes == 3; }));
    EXPECT_TRUE (test::readBytes (untitled()).contains ("note=\"first\""));
}

TEST_F (Document, TheDataChildGoesToVertsDatOnly)
{
    AppData doc;
    SaveLog log (doc);
    doc.getRoot().appendChild (juce::ValueTree (IDs::data).setProperty ("x", 1, nullptr), nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return log.writes == 1; }));

    EXPECT_FALSE (test::readBytes (untitled()).contains ("<data"));
    const auto verts = home.getPreferencesFolder().getChildFile ("verts.dat");
    ASSERT_TRUE (verts.existsAsFile());
    juce::FileInputStream in (verts);
    EXPECT_EQ (juce::ValueTree::readFromStream (in)["x"].toString(), "1");
    EXPECT_TRUE (doc.getRoot().getChildWithName (IDs::data).isValid()) << "the tree keeps it";
}

TEST_F (Document, OpenThroughTheChooserSeam)
{
    const auto file = writeFile ("Picked.xml", "<Vantrel version=\"1.0.0\"><CueLists/></Vantrel>");
    AppData doc;
    juce::File handedIn;
    doc.chooseFileToOpen = [&] (std::function<void (const juce::File&)> done) { done (handedIn); };

    int completed = 0;
    doc.openDocument ([&] { ++completed; }); // cancelled: empty file
    EXPECT_EQ (completed, 0);

    handedIn = file;
    doc.openDocument ([&] { ++completed; });
    EXPECT_EQ (completed, 1);
    EXPECT_EQ (doc.getDocumentFile(), file);
}

TEST_F (Document, HostileFilesAtStartUpAndWithOpen)
{
    const juce::String sample = "<Vantrel version=\"1.1.0.643\">\r\n  <CueLists note=\"sample\"/>\r\n  <ColorMask/>\r\n</Vantrel>\r\n";
    const auto loadError = "I couldn't read that file. Are you sure it's a valid Vantrel document?";

    for (const auto& hostile : test::hostileFiles (sample))
    {
        SCOPED_TRACE (hostile.name);

        // The last used file at start-up: refused silently, for a new untitled document.
        {
            test::TempHome ownHome;
            const auto file = ownHome.getHome().getChildFile ("shows/Show.xml");
            test::writeBytes (file, hostile.bytes);
            PreferencesHandler().setLastUsedFile (file);
            DialogPresenter::getInstance()->dismiss();

            auto doc = std::make_unique<AppData>();
            if (hostile.readable)
            {
                EXPECT_EQ (doc->getDocumentFile(), file);
                EXPECT_EQ (doc->getRoot().getChildWithName (IDs::CueLists)["note"].toString(), "sample");
            }
            else
            {
                EXPECT_EQ (doc->getDocumentFile().getFileName(), "Untitled Vantrel Document.xml");
                EXPECT_EQ (doc->getRoot().getNumChildren(), 5);
            }
            EXPECT_TRUE (shownDialog().isEmpty());
            doc.reset();
            EXPECT_TRUE (test::bytesOf (file) == hostile.bytes) << "the file is left as it was";
        }

        // Chosen with Open: the load error, and the current document stays.
        {
            test::TempHome ownHome;
            auto doc = std::make_unique<AppData>();
            const auto current = doc->getDocumentFile();
            edit (*doc, "current");
            const auto file = ownHome.getHome().getChildFile ("shows/Picked.xml");
            test::writeBytes (file, hostile.bytes);
            DialogPresenter::getInstance()->dismiss();

            bool completed = false;
            doc->loadDocument (file, [&] { completed = true; });
            EXPECT_EQ (completed, hostile.readable);
            if (hostile.readable)
            {
                EXPECT_EQ (doc->getDocumentFile(), file);
                EXPECT_TRUE (shownDialog().isEmpty());
            }
            else
            {
                EXPECT_EQ (shownDialog(), loadError);
                EXPECT_EQ (doc->getDocumentFile(), current);
                EXPECT_EQ (doc->getRoot().getChildWithName (IDs::CueLists)["note"].toString(), "current");
            }
            doc.reset();
            EXPECT_TRUE (test::bytesOf (file) == hostile.bytes) << "the file is left as it was";
        }
    }
}

namespace
{
/** A document whose file lies on a small disk of its own. */
class DocumentOnSmallDisk : public Document
{
protected:
    test::SmallDisk disk { home.getHome().getChildFile ("shows"), 64 };
    juce::File file = home.getHome().getChildFile ("shows/Show.xml");
    const juce::String original = "<Vantrel version=\"1.1.0.643\"><CueLists/><ColorMask/><Servers/></Vantrel>";

    void SetUp() override
    {
        if (! disk.isMounted())
            GTEST_SKIP() << "no small disk: " << disk.getError();
        file.replaceWithText (original);
        PreferencesHandler().setLastUsedFile (file);
    }
};
}

TEST_F (DocumentOnSmallDisk, AFailedWriteKeepsTheEditRetriesEverySecondAndSaysWhy)
{
    auto doc = std::make_unique<AppData>();
    ASSERT_EQ (doc->getDocumentFile(), file);
    SaveLog log (*doc);

    disk.fill();
    edit (*doc, "kept");
    ASSERT_TRUE (test::pumpUntil ([&] { return shownDialog().isNotEmpty(); }));
    EXPECT_EQ (shownDialog(), "I couldn't write " + file.getFullPathName()
                                  + ": disk full. I keep your changes and try again every second.");
    EXPECT_EQ (DialogPresenter::getInstance()->getShownTitle(), "Uh-oh! Save error...");
    EXPECT_FALSE (doc->isSaved());
    EXPECT_EQ (doc->getWriteFailure(), "disk full");
    EXPECT_EQ (test::readBytes (file), original) << "the old content stays whole";

    // Tried again each second; the dialog, once dismissed, does not come back for the same failure.
    DialogPresenter::getInstance()->dismiss();
    const auto failures = log.reports.size();
    ASSERT_TRUE (test::pumpUntil ([&] { return log.reports.size() >= failures + 2; }, 5000));
    EXPECT_EQ (std::count (log.reports.begin(), log.reports.end(), true), 0);
    EXPECT_TRUE (shownDialog().isEmpty());

    // Space again: the next retry writes the edit, without any further change.
    disk.free();
    ASSERT_TRUE (test::pumpUntil ([&] { return doc->isSaved(); }, 5000));
    EXPECT_TRUE (test::readBytes (file).contains ("note=\"kept\""));
    EXPECT_TRUE (doc->getWriteFailure().isEmpty());

    // A failure that shows its dialog and ends while it is up takes the dialog away.
    disk.fill();
    edit (*doc, "second");
    ASSERT_TRUE (test::pumpUntil ([&] { return shownDialog().isNotEmpty(); }));
    disk.free();
    ASSERT_TRUE (test::pumpUntil ([&] { return doc->isSaved(); }, 5000));
    EXPECT_TRUE (shownDialog().isEmpty());
    EXPECT_TRUE (test::readBytes (file).contains ("note=\"second\""));
}

TEST_F (DocumentOnSmallDisk, NewAndOpenDoNotLeaveADocumentWhoseWriteFails)
{
    const auto other = writeFile ("Other.xml", "<Vantrel version=\"1.1.0\"><CueLists/></Vantrel>");
    auto doc = std::make_unique<AppData>();
    doc->chooseFileToOpen = [&] (std::function<void (const juce::File&)> done) { done (other); };
    int loaded = 0;
    doc->documentLoaded = [&] { ++loaded; };

    disk.fill();
    edit (*doc, "unsaved"); // Open comes before the autosave

    bool completed = false;
    doc->openDocument ([&] { completed = true; });
    EXPECT_FALSE (completed);
    EXPECT_EQ (loaded, 0);
    EXPECT_TRUE (shownDialog().contains ("disk full"));
    EXPECT_EQ (doc->getDocumentFile(), file);
    EXPECT_EQ (doc->getRoot().getChildWithName (IDs::CueLists)["note"].toString(), "unsaved");

    DialogPresenter::getInstance()->dismiss();
    doc->loadDocument (other, [&] { completed = true; });
    EXPECT_FALSE (completed);
    EXPECT_TRUE (shownDialog().contains ("disk full")) << "shown again on each refusal";

    DialogPresenter::getInstance()->dismiss();
    EXPECT_FALSE (doc->newDocument());
    EXPECT_TRUE (shownDialog().contains ("disk full"));
    EXPECT_EQ (doc->getDocumentFile(), file);
    EXPECT_EQ (loaded, 0);

    // With space again the edit reaches its file and Open goes ahead.
    disk.free();
    doc->openDocument ([&] { completed = true; });
    EXPECT_TRUE (completed);
    EXPECT_EQ (doc->getDocumentFile(), other);
    EXPECT_TRUE (test::readBytes (file).contains ("note=\"unsaved\""));
}

TEST_F (Document, RunningOutOfFileDescriptorsIsAFailedWriteToo)
{
    AppData doc;
    SaveLog log (doc);
    // The running application has its display connection and fonts open long before; so
    // does this test, by showing a dialog once.
    DialogPresenter::getInstance()->show ("Uh-oh! Save error...", "warming up", { "Ok" });
    DialogPresenter::getInstance()->dismiss();

    // Use up every descriptor the process may have.
    rlimit previous {};
    ASSERT_EQ (getrlimit (RLIMIT_NOFILE, &previous), 0);
    auto lowered = previous;
    lowered.rlim_cur = std::min<rlim_t> (previous.rlim_cur, 1024);
    ASSERT_EQ (setrlimit (RLIMIT_NOFILE, &lowered), 0);
    std::vector<int> taken;
    for (int fd; (fd = open ("/dev/null", O_RDONLY)) >= 0;)
        taken.push_back (fd);

    edit (doc, "kept");
    const bool failed = test::pumpUntil ([&] { return doc.getWriteFailure().isNotEmpty(); });
    const auto failure = doc.getWriteFailure();
    for (auto fd : taken)
        close (fd);
    setrlimit (RLIMIT_NOFILE, &previous);

    ASSERT_TRUE (failed);
    EXPECT_EQ (failure, "too many open files");
    EXPECT_TRUE (shownDialog().contains ("too many open files"));
    ASSERT_TRUE (test::pumpUntil ([&] { return doc.isSaved(); }, 5000)) << "the retry writes it";
    EXPECT_TRUE (test::readBytes (untitled()).contains ("note=\"kept\""));
}

namespace
{
/** A file layer that holds the first write it gets until released. */
struct HeldWrite
{
    juce::WaitableEvent entered, release;
    std::atomic<int> calls { 0 };

    DocumentWriter::FileLayer layer()
    {
        return [this] (const DocumentWriter::Job& job)
        {
            if (calls++ == 0)
            {
                entered.signal();
                release.wait (20'000);
            }
            return DocumentWriter::writeFiles (job);
        };
    }
};

/** A large show as the last used document. */
class LargeDocument : public Document
{
protected:
    juce::File file = home.getHome().getChildFile ("shows/Large.xml");
    juce::File other = home.getHome().getChildFile ("shows/Other.xml");

    void SetUp() override
    {
        file.getParentDirectory().createDirectory();
        ASSERT_TRUE (XmlFile::write (*test::makeLargeShow (10'000).createXml(), file));
        other.replaceWithText ("<Vantrel version=\"1.1.0\"><CueLists/></Vantrel>");
        PreferencesHandler().setLastUsedFile (file);
    }

    /** What the file must hold for the document as it is now. */
    static juce::String expectedText (const FileLess& doc) { return TreeText::toText (doc.getRoot(), IDs::data); }
};
}

TEST_F (LargeDocument, AnEditFollowedAtOnceByNewOpenOrQuitIsOnDisk)
{
    const struct
    {
        const char* name;
        std::function<void (std::unique_ptr<AppData>&)> leave;
    } ways[] = {
        { "New", [] (auto& doc) { EXPECT_TRUE (doc->newDocument()); } },
        { "Open", [this] (auto& doc) { doc->loadDocument (other, {}); } },
        { "Quit", [] (auto& doc) { EXPECT_TRUE (doc->flushBeforeLeaving()); doc.reset(); } },
        { "Quit without asking", [] (auto& doc) { doc.reset(); } },
    };
    for (const auto& way : ways)
    {
        SCOPED_TRACE (way.name);
        PreferencesHandler().setLastUsedFile (file);
        auto doc = std::make_unique<AppData>();
        ASSERT_EQ (doc->getDocumentFile(), file);
        edit (*doc, way.name);
        const auto expected = expectedText (*doc);

        way.leave (doc);
        EXPECT_TRUE (test::readBytes (file) == expected);
        if (doc != nullptr)
        {
            EXPECT_NE (doc->getDocumentFile(), file) << "the document was left";
        }
    }
}

TEST_F (LargeDocument, TwoQuickEditsGiveTheSecondStateAndTheFirstWriteDoesNotClaimIt)
{
    AppData doc;
    SaveLog log (doc);
    HeldWrite held;
    doc.setFileLayer (held.layer());

    edit (doc, "first");
    ASSERT_TRUE (test::pumpUntil ([&] { return held.entered.wait (0); }));
    // The message thread runs on while the write is held.
    bool ran = false;
    juce::MessageManager::callAsync ([&] { ran = true; });
    EXPECT_TRUE (test::pumpUntil ([&] { return ran; }));
    EXPECT_EQ (held.calls.load(), 1) << "the write is still held";

    edit (doc, "second");
    held.release.signal();
    // The first write lands, but the document is not saved until the second one has.
    ASSERT_TRUE (test::pumpUntil ([&] { return log.writes == 1; }, 10'000));
    EXPECT_EQ (held.calls.load(), 2);
    EXPECT_EQ (log.reports, (std::vector<bool> { false, false, true }));
    EXPECT_TRUE (test::readBytes (file) == expectedText (doc));
    EXPECT_TRUE (test::readBytes (file).contains ("note=\"second\""));
}

TEST_F (LargeDocument, AWriteThatDoesNotFinishInTimeKeepsTheDocumentAndSaysSo)
{
    auto doc = std::make_unique<AppData>();
    SaveLog log (*doc);
    HeldWrite held;
    doc->setFileLayer (held.layer());
    doc->leaveWaitMs = 300;
    const auto before = test::readBytes (file);

    edit (*doc, "held");
    const struct
    {
        const char* name;
        std::function<bool()> leave;
    } ways[] = {
        { "New", [&] { return doc->newDocument(); } },
        { "Open", [&] { bool done = false; doc->loadDocument (other, [&] { done = true; }); return done; } },
        { "Quit", [&] { return doc->flushBeforeLeaving(); } },
    };
    for (const auto& way : ways)
    {
        SCOPED_TRACE (way.name);
        DialogPresenter::getInstance()->dismiss();
        EXPECT_FALSE (way.leave());
        EXPECT_EQ (shownDialog(), "I couldn't write " + file.getFullPathName()
                                      + ": the disk did not finish the write in time. I keep your changes and try again every second.");
        EXPECT_EQ (doc->getDocumentFile(), file);
        EXPECT_FALSE (doc->isSaved());
        EXPECT_EQ (doc->getRoot().getChildWithName (IDs::CueLists)["note"].toString(), "held");
    }
    EXPECT_TRUE (test::readBytes (file) == before);

    // The write ends after all: the dialog goes, the edit is on disk and New goes ahead.
    held.release.signal();
    ASSERT_TRUE (test::pumpUntil ([&] { return doc->isSaved(); }, 10'000));
    EXPECT_TRUE (shownDialog().isEmpty());
    EXPECT_TRUE (test::readBytes (file).contains ("note=\"held\""));
    EXPECT_TRUE (doc->newDocument());
    EXPECT_NE (doc->getDocumentFile(), file);
}
