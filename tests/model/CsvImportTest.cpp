#include "ModelFixture.h"
#include "document/Identifiers.h"
#include "model/CategoryManager.h"
#include "model/CueList.h"
#include "ui/kit/DialogPresenter.h"

namespace
{
const juce::String refusedFormat = "It looks like you're exporting from Tallypin using the 'Spreadsheet' format, which is "
                                   "currently not supported in Vantrel. Please use the 'Avo & Reaper' format instead... ";
const juce::String unsupportedTimecode = "It looks like you're exporting from Reaper in an unsupported format. Please use "
                                         "the 'Hours:Minutes:Seconds:Frames' format instead... ";
const juce::String unreadable = "That's weird, I wasn't open that file. Like, at all. Are you sure it's not empty or something?";
const juce::String noCues = "I tried long and hard, but I wasn't able to find any valid cues in that file. Are you sure "
                            "it's in the correct format?";

struct ExpectedCue
{
    const char* number;
    const char* name;
    const char* tc;
    double start;
    juce::uint32 argb;
};

class CsvImportTest : public test::ModelFixture
{
protected:
    std::shared_ptr<CategoryManager> categories = std::make_shared<CategoryManager>();
    juce::File folder = home.getHome().getChildFile ("drops");

    juce::File writeCsv (const juce::String& fileName, const juce::MemoryBlock& bytes)
    {
        folder.createDirectory();
        auto file = folder.getChildFile (fileName);
        file.deleteFile();
        file.create(); // replaceWithData would delete the file for zero bytes
        file.appendData (bytes.getData(), bytes.getSize());
        return file;
    }

    juce::File writeCsv (const juce::String& fileName, const std::string& text)
    {
        return writeCsv (fileName, juce::MemoryBlock (text.data(), text.size()));
    }

    /** The message the import left on screen (empty for none); the dialog is then dismissed. */
    static juce::String takeMessage()
    {
        test::pumpFor (20);
        auto* presenter = DialogPresenter::getInstance();
        const auto message = presenter->getShownMessage();
        presenter->dismiss();
        return message;
    }
};
}

TEST_F (CsvImportTest, FixturesCoverEachRuleAndMessage)
{
    struct Case
    {
        const char* name;
        std::string content;
        int fps;
        juce::String message;
        std::vector<ExpectedCue> cues;
        double listStart = 0;
    };
    const std::string bom = "\xef\xbb\xbf";
    const Case cases[] = {
        { "all columns", "#,Name,Start,Color\r\n3,Intro,00:00:10:00,FF0000\r\n", 25, {},
          { { "3", "Intro", "00:00:10:00", 10000, 0xffff0000 } } },
        { "other case, running numbers, default colour", "NAME,start\nA,00:00:01:00\nB,00:00:02:00\nC,00:00:03:00", 25, {},
          { { "1", "A", "00:00:01:00", 1000, 0xff0681ff }, { "2", "B", "00:00:02:00", 2000, 0xff0681ff },
            { "3", "C", "00:00:03:00", 3000, 0xff0681ff } } },
        { "trailing numbers", "#,Start\nA12,00:00:01:00\n12b,00:00:02:00\n-3,00:00:03:00\n", 25, {},
          { { "12", "", "00:00:01:00", 1000, 0xff0681ff }, { "2", "", "00:00:02:00", 2000, 0xff0681ff },
            { "-3", "", "00:00:03:00", 3000, 0xff0681ff } } },
        { "quoted fields", "\"#\",\"Name\",\"Start\"\n\"1\",\"Hello, world\",\"00:00:01:00\"\n2,\"\"\"Cue\"\"\",00:00:02:00\n", 25, {},
          { { "1", "Hello, world", "00:00:01:00", 1000, 0xff0681ff }, { "2", "Cue", "00:00:02:00", 2000, 0xff0681ff } } },
        { "CR-only lines", "#,Start\r5,00:00:01:00\r6,00:00:02:00\r", 25, {},
          { { "5", "", "00:00:01:00", 1000, 0xff0681ff }, { "6", "", "00:00:02:00", 2000, 0xff0681ff } } },
        { "sorted by start", "Start\n00:01:00:00\n00:00:30:00\n", 25, {},
          { { "2", "", "00:00:30:00", 30000, 0xff0681ff }, { "1", "", "00:01:00:00", 60000, 0xff0681ff } } },
        { "list start floors to the quarter hour", "Start\n01:07:30:00\n", 25, {},
          { { "1", "", "01:07:30:00", 4050000, 0xff0681ff } }, 3600000 },
        { "frames beyond the rate count as the last frame", "Start\n00:00:01:45\n", 30, {},
          { { "1", "", "00:00:01:45", 1000 + 29 * 1000.0 / 30, 0xff0681ff } } },
        { "colour digits: others skipped, last eight count", "Start,Color\n00:00:01:00,#12345678AB\n00:00:02:00,zz\n", 25, {},
          { { "1", "", "00:00:01:00", 1000, 0x345678ab }, { "2", "", "00:00:02:00", 2000, 0x000000ff } } },
        { "short line reads missing fields as empty", "#,Start,Name\n4,00:00:01:00\n", 25, {},
          { { "4", "", "00:00:01:00", 1000, 0xff0681ff } } },
        { "byte-order mark stays in the first field", bom + "#,Start\n7,00:00:01:00\n", 25, {},
          { { "1", "", "00:00:01:00", 1000, 0xff0681ff } } },
        { "refused six-field header", "Track,Type,Position,Cue No,Label,Fade\n1,a,b,c,d,e\n", 25, refusedFormat, {} },
        { "two colons", "#,Start\n1,00:00:05:00\n2,00:00:10.00\n", 25, unsupportedTimecode, {} },
        { "empty start", "#,Start\n1,\n", 25, unsupportedTimecode, {} },
        { "empty line between data lines", "Start\n00:00:01:00\n\n00:00:02:00\n", 25, unsupportedTimecode, {} },
        { "extra empty line at the end", "Start\r\n00:00:01:00\r\n\r\n", 25, unsupportedTimecode, {} },
        { "no Start column", "#,Name\n1,A\n", 25, noCues, {} },
        { "header only", "#,Name,Start\n", 25, noCues, {} },
        { "empty file", "", 25, noCues, {} },
        { "binary", std::string ("\x00\x01\x02\xff\xfe,\x80\x81\n\x00Start\n", 14), 25, noCues, {} },
        { "unbalanced quote swallows the columns", "\"#,Name,Start\n1,a,00:00:01:00\n", 25, noCues, {} },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto file = writeCsv ("case.csv", c.content);
        CueList list (file, c.fps, categories);
        EXPECT_EQ (takeMessage(), c.message);

        ASSERT_EQ (list.getCues().size(), c.cues.size());
        const auto cuesNode = list.getTree().getChildWithName (IDs::Cues);
        EXPECT_EQ (cuesNode.getNumChildren(), (int) c.cues.size());
        for (size_t i = 0; i < c.cues.size(); ++i)
        {
            SCOPED_TRACE (i);
            const auto& cue = *list.getCues()[i];
            EXPECT_EQ (cue.getTree(), cuesNode.getChild ((int) i));
            EXPECT_EQ (cue.getTree()[IDs::number].toString(), juce::String (c.cues[i].number));
            EXPECT_EQ (cue.getText(), juce::String (c.cues[i].name));
            EXPECT_EQ (cue.getTimecodeText(), juce::String (c.cues[i].tc));
            EXPECT_NEAR (cue.getRange().getStart(), c.cues[i].start, 0.001);
            EXPECT_EQ (cue.getColor().getARGB(), c.cues[i].argb);
        }
        if (! c.cues.empty())
        {
            EXPECT_EQ ((double) list.getTree()[IDs::start], c.listStart);
            EXPECT_EQ (list.getFps(), c.fps);
        }
    }
}

TEST_F (CsvImportTest, ListIsNamedAfterItsFile)
{
    struct Case { const char* file; const char* name; };
    const Case cases[] = { { "Act 1 (final mix).csv", "Act 1" }, { "Show.markers.csv", "Show.markers" },
                           { "  Padded  .csv", "Padded" } };
    for (const auto& c : cases)
    {
        const auto file = writeCsv (c.file, std::string ("Start\n00:00:01:00\n"));
        CueList list (file, 25, categories);
        EXPECT_EQ (list.getName(), juce::String (c.name));
        EXPECT_EQ (list.getTree()[IDs::file].toString(), file.getFullPathName());
        EXPECT_EQ (list.getFile(), juce::String (c.file));
        EXPECT_EQ (list.getOffset(), juce::String ("00:00:00:00"));
    }
    EXPECT_EQ (takeMessage(), juce::String());
}

TEST_F (CsvImportTest, AFileThatCannotBeReadGivesMessageThree)
{
    for (auto file : { folder.getChildFile ("missing.csv"), folder })
    {
        folder.createDirectory();
        CueList list (file, 25, categories);
        EXPECT_EQ (takeMessage(), unreadable);
        EXPECT_TRUE (list.getCues().empty());
    }
}

TEST_F (CsvImportTest, HugeFilesEndCleanly)
{
    // One 50 MB line without a line break: a header without "Start".
    juce::MemoryBlock huge (50 * 1024 * 1024);
    huge.fillWith ('x');
    CueList oneLine (writeCsv ("huge.csv", huge), 25, categories);
    EXPECT_EQ (takeMessage(), noCues);
    EXPECT_TRUE (oneLine.getCues().empty());

    // A 2 MB name still makes a cue.
    std::string longName = "Name,Start\n" + std::string (2 * 1024 * 1024, 'n') + ",00:00:01:00\n";
    CueList longLine (writeCsv ("long.csv", longName), 25, categories);
    EXPECT_EQ (takeMessage(), juce::String());
    ASSERT_EQ (longLine.getCues().size(), 1u);
    EXPECT_EQ (longLine.getCues()[0]->getText().length(), 2 * 1024 * 1024);
}

TEST_F (CsvImportTest, CuesLinkToTheCategoryOfTheirColour)
{
    const auto file = writeCsv ("c.csv", std::string ("Start,Color\n00:00:01:00,3fb6dc\n00:00:02:00,123456\n"));
    CueList list (file, 25, categories);
    EXPECT_EQ (list.getCues()[0]->getCategory(), categories->getCategories()[1]) << "Audio";
    ASSERT_NE (list.getCues()[1]->getCategory(), nullptr);
    EXPECT_EQ (list.getCues()[1]->getCategory()->getColor().getARGB(), 0xff123456u);
    EXPECT_EQ (list.getCues()[1]->getTree()[IDs::category].toString(), list.getCues()[1]->getCategory()->getUuid());
}
