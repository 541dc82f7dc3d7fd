#include "ModelFixture.h"
#include "document/Identifiers.h"
#include "model/ColorMask.h"

namespace
{
struct MaskCounter : ColorMask::Listener
{
    int calls = 0;
    void colorMaskChanged() override { ++calls; }
};

juce::ValueTree maskWith (std::initializer_list<const char*> hexes)
{
    juce::ValueTree node (IDs::ColorMask);
    for (auto* hex : hexes)
        node.appendChild (juce::ValueTree (IDs::color).setProperty (IDs::hex, hex, nullptr), nullptr);
    return node;
}

using Colours = juce::Array<juce::Colour>;

class ColorMaskTest : public test::ModelFixture
{
protected:
    juce::ValueTree node = maskWith ({});
    ColorMask mask { node };
    MaskCounter counter;

    void SetUp() override { mask.addListener (&counter); }
    void TearDown() override { mask.removeListener (&counter); }
};
}

TEST_F (ColorMaskTest, ColoursRoundTripThroughTheirText)
{
    const Colours colours { juce::Colour (0xff3fb6dc), juce::Colour (0x00ff0000), juce::Colour (0x80d52fd5) };
    mask.setColors (colours);
    EXPECT_EQ (mask.getColors(), colours);
    EXPECT_EQ (node.getChild (0)[IDs::hex].toString(), juce::String ("ff3fb6dc"));
    EXPECT_EQ (node.getChild (1)[IDs::hex].toString(), juce::String ("ff0000")) << "no leading zeros";
    EXPECT_EQ (counter.calls, 3);
}

TEST_F (ColorMaskTest, StoredTextIsMatchedWithoutRegardToCase)
{
    node.appendChild (juce::ValueTree (IDs::color).setProperty (IDs::hex, "FF3FB6DC", nullptr), nullptr);
    counter.calls = 0;
    EXPECT_EQ (mask.getColors(), Colours { juce::Colour (0xff3fb6dc) });

    mask.setColors ({ juce::Colour (0xff3fb6dc) });
    EXPECT_EQ (counter.calls, 0);
    EXPECT_EQ (node.getChild (0)[IDs::hex].toString(), juce::String ("FF3FB6DC")) << "not rewritten";
}

TEST_F (ColorMaskTest, AColourGivenTwiceIsStoredOnce)
{
    mask.setColors ({ juce::Colour (0xff112233), juce::Colour (0xff112233) });
    EXPECT_EQ (node.getNumChildren(), 1);
    EXPECT_EQ (counter.calls, 1);
}

TEST_F (ColorMaskTest, OneUndoStepRestoresThePreviousSet)
{
    mask.setColors ({ juce::Colour (0xff000001), juce::Colour (0xff000002) });
    mask.setColors ({ juce::Colour (0xff000002), juce::Colour (0xff000003) });
    EXPECT_EQ (undoManager().getUndoDescription(), juce::String ("Set Color Mask"));
    counter.calls = 0;

    undoManager().undo();
    EXPECT_EQ (mask.getColors(), (Colours { juce::Colour (0xff000001), juce::Colour (0xff000002) }));
    EXPECT_EQ (counter.calls, 2) << "one notice per entry added or removed";

    undoManager().redo();
    EXPECT_EQ (mask.getColors(), (Colours { juce::Colour (0xff000002), juce::Colour (0xff000003) }));
    EXPECT_EQ (counter.calls, 4);

    mask.setColors ({});
    EXPECT_EQ (node.getNumChildren(), 0);
    EXPECT_EQ (counter.calls, 6);
}

TEST_F (ColorMaskTest, SetStateReadsTheNewNodeWithoutNotifying)
{
    auto other = maskWith ({ "ff0000ff", "nonsense" });
    mask.setState (other);
    EXPECT_EQ (counter.calls, 0);
    EXPECT_EQ (mask.getColors(), (Colours { juce::Colour (0xff0000ff), juce::Colour (0x000000ee) }))
        << "only the hexadecimal digits of a text count";

    node.appendChild (juce::ValueTree (IDs::color), nullptr); // the old node is no longer followed
    EXPECT_EQ (counter.calls, 0);
    other.removeChild (1, nullptr);
    EXPECT_EQ (counter.calls, 1);
}
