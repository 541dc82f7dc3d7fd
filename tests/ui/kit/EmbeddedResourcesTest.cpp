#include <BinaryData.h>
#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
struct Icon
{
    const char* name;
    float width, height; // the view box the users scale from
};

// Every icon the widgets draw, with the view box it must keep.
const Icon icons[] = {
    { "Arrow_Right_svg", 12, 12 },   { "Audio_svg", 10, 10 },
    { "Category_svg", 16, 16 },      { "Close_svg", 12, 12 },
    { "Copy_svg", 14, 14 },          { "Defaults_svg", 10, 10 },
    { "Delete_svg", 12, 12 },        { "Drag_svg", 12, 12 },
    { "Drag_Over_svg", 8, 10.06f },  { "eyesolid_svg", 576, 512 },
    { "eyeslashsolid_svg", 640, 512 }, { "filearrowdownsolid_svg", 384, 512 },
    { "FPS_svg", 16, 16 },           { "Heart_svg", 512, 512 },
    { "List_svg", 16, 16 },          { "Maximize_svg", 12, 12 },
    { "Minimize_svg", 12, 12 },      { "New_svg", 8, 8 },
    { "Page_svg", 8.75f, 10 },       { "Pages_svg", 16, 16 },
    { "QR_svg", 56, 56 },            { "savesolid_svg", 448, 512 },
    { "triangleexclamationsolid_svg", 512, 512 }, { "Update_svg", 10, 10 },
    { "WebClients_svg", 14.53f, 14.11f }, { "cogsolid_svg", 512, 512 },
    { "quenmarkLogo_svg", 0, 0 },    { "talvenorLogo_svg", 0, 0 },
};

juce::MemoryBlock resource (const char* name)
{
    int size = 0;
    auto* data = BinaryData::getNamedResource (name, size);
    return data != nullptr ? juce::MemoryBlock (data, (size_t) size) : juce::MemoryBlock();
}

class EmbeddedIcon : public ::testing::TestWithParam<Icon>
{
};
}

TEST_P (EmbeddedIcon, ParsesToAFilledOutlineInsideItsViewBox)
{
    const auto icon = GetParam();
    const auto data = resource (icon.name);
    ASSERT_GT (data.getSize(), 0u) << icon.name;
    // The users parse the block with exactly its length: no terminating zero inside.
    EXPECT_NE (static_cast<const char*> (data.getData())[data.getSize() - 1], 0);

    auto drawable = juce::Drawable::createFromImageData (data.getData(), data.getSize());
    ASSERT_NE (drawable, nullptr) << icon.name;
    const auto outline = drawable->getOutlineAsPath();
    ASSERT_FALSE (outline.isEmpty()) << icon.name;

    const auto bounds = outline.getBounds();
    EXPECT_GT (bounds.getWidth(), 0.0f);
    EXPECT_GT (bounds.getHeight(), 0.0f);

    if (icon.width > 0)
    {
        const auto viewBox = juce::Rectangle<float> (icon.width, icon.height);
        EXPECT_TRUE (viewBox.expanded (0.01f).contains (bounds)) << icon.name << ": " << bounds.toString();
        // The picture must span most of the box, or it reads as a speck next to its siblings.
        EXPECT_GT (juce::jmax (bounds.getWidth() / icon.width, bounds.getHeight() / icon.height), 0.6f) << icon.name;

        const auto svg = juce::parseXML (juce::String::fromUTF8 (static_cast<const char*> (data.getData()), (int) data.getSize()));
        ASSERT_NE (svg, nullptr);
        const auto box = juce::StringArray::fromTokens (svg->getStringAttribute ("viewBox"), false);
        ASSERT_EQ (box.size(), 4) << icon.name;
        EXPECT_FLOAT_EQ (box[2].getFloatValue(), icon.width) << icon.name;
        EXPECT_FLOAT_EQ (box[3].getFloatValue(), icon.height) << icon.name;
    }
}

INSTANTIATE_TEST_SUITE_P (AllIcons, EmbeddedIcon, ::testing::ValuesIn (icons),
                          [] (const auto& test) { return std::string (test.param.name); });

TEST (EmbeddedResources, ApplicationLogoIsARoundedSquare)
{
    const auto data = resource ("VantrelLogoRounded_png");
    const auto logo = juce::ImageFileFormat::loadFrom (data.getData(), data.getSize());
    ASSERT_TRUE (logo.isValid());
    EXPECT_EQ (logo.getWidth(), 1024);
    EXPECT_EQ (logo.getHeight(), 1024);
    // Transparent outside the rounded corner, opaque just inside it and in the middle.
    EXPECT_EQ (logo.getPixelAt (2, 2).getAlpha(), 0);
    EXPECT_EQ (logo.getPixelAt (1021, 1021).getAlpha(), 0);
    EXPECT_EQ (logo.getPixelAt (60, 60).getAlpha(), 255);
    EXPECT_EQ (logo.getPixelAt (512, 512).getAlpha(), 255);
}

TEST (EmbeddedResources, FontsLoadAsTheirFamilies)
{
    struct Case
    {
        const char* name;
        const char* family;
        const char* style;
    };
    const Case cases[] = {
        { "FigtreeRegular_ttf", "Figtree", "Regular" },
        { "FigtreeBold_ttf", "Figtree", "Bold" },
        { "FigtreeItalic_ttf", "Figtree", "Italic" },
        // The monospaced face descends from Droid Sans Mono and carries its successor's family name.
        { "droidsansmono_regular_ttf", "Noto Mono", "Regular" },
    };
    for (const auto& c : cases)
    {
        const auto data = resource (c.name);
        ASSERT_GT (data.getSize(), 10000u) << c.name;
        auto typeface = juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());
        ASSERT_NE (typeface, nullptr) << c.name;
        EXPECT_EQ (typeface->getName(), c.family) << c.name;
        EXPECT_EQ (typeface->getStyle(), c.style) << c.name;
    }
}
