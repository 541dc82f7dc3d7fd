#include "document/XmlFile.h"

juce::String XmlFile::toText (const juce::XmlElement& xml)
{
    auto format = juce::XmlElement::TextFormat().withoutHeader();
    format.lineWrapLength = 60;
    format.newLineChars = "\r\n";
    return xml.toString (format);
}

bool XmlFile::write (const juce::XmlElement& xml, const juce::File& target)
{
    const auto text = toText (xml).toStdString();
    return replaceWithData (target, text.data(), text.size());
}

bool XmlFile::replaceWithData (const juce::File& target, const void* data, size_t size)
{
    if (target.getFullPathName().isEmpty() || target.isDirectory())
        return false;
    if (! target.getParentDirectory().createDirectory())
        return false;

    // TemporaryFile writes beside the target and renames it over the target, so a
    // crash mid-write never leaves a half-written file behind.
    juce::TemporaryFile temp (target);
    {
        juce::FileOutputStream out (temp.getFile());
        if (! out.openedOk() || ! out.write (data, size))
            return false;
        out.flush();
        if (out.getStatus().failed())
            return false;
    }
    return temp.overwriteTargetFileWithTemporary();
}

std::unique_ptr<juce::XmlElement> XmlFile::read (const juce::File& file)
{
    if (! file.existsAsFile() || file.getSize() == 0)
        return nullptr;
    return juce::XmlDocument::parse (file);
}

std::unique_ptr<juce::XmlElement> XmlFile::parse (const juce::String& text)
{
    return juce::parseXML (text);
}
