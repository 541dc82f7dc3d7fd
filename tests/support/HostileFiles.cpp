#include "support/HostileFiles.h"

namespace test
{
std::vector<HostileFile> hostileFiles (const juce::String& validSample)
{
    const auto rootTag = validSample.fromFirstOccurrenceOf ("<", false, false).initialSectionNotContaining (" />");
    const auto block = [] (const juce::String& text) { return juce::MemoryBlock (text.toRawUTF8(), text.getNumBytesAsUTF8()); };

    std::vector<HostileFile> files;

    // Deep enough to overflow the stack of a reader that recurses once per element.
    constexpr int depth = 100000;
    juce::MemoryOutputStream deep;
    deep << "<" << rootTag << ">";
    for (int i = 0; i < depth; ++i)
        deep << "<a>";
    for (int i = 0; i < depth; ++i)
        deep << "</a>";
    deep << "</" << rootTag << ">";
    files.push_back ({ "nested 100,000 deep", deep.getMemoryBlock(), false });

    files.push_back ({ "truncated", block (validSample.substring (0, validSample.length() / 2)), false });

    juce::Random random (18);
    juce::MemoryBlock binary (4096);
    random.fillBitsRandomly (binary.getData(), binary.getSize());
    static_cast<char*> (binary.getData())[0] = '\x89'; // never starts like text
    files.push_back ({ "binary", binary, false });

    files.push_back ({ "empty", {}, false });

    const auto huge = juce::String::repeatedString ("x", 8 * 1024 * 1024);
    files.push_back ({ "huge attribute",
                       block (validSample.replaceFirstOccurrenceOf ("<" + rootTag, "<" + rootTag + " junk=\"" + huge + "\"")),
                       true });
    return files;
}

void writeBytes (const juce::File& file, const juce::MemoryBlock& bytes)
{
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream out (file);
    if (bytes.getSize() > 0)
        out.write (bytes.getData(), bytes.getSize());
}

juce::MemoryBlock bytesOf (const juce::File& file)
{
    juce::MemoryBlock bytes;
    if (file.existsAsFile())
        file.loadFileAsData (bytes);
    return bytes;
}
}
