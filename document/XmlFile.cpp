#include "document/XmlFile.h"

#include <cerrno>
#include <cstring>
#include <iterator>

namespace
{
using CharPointer = juce::String::CharPointerType;

/** The framework reader's name characters: a tag or attribute name ends at the first other one. */
bool isNameChar (juce::juce_wchar c) noexcept
{
    static const juce::uint32 legalChars[] = { 0, 0x7ff6000, 0x87fffffe, 0x7fffffe, 0 };
    const auto code = static_cast<juce::uint32> (c);
    if (code < std::size (legalChars) * 32)
        return (legalChars[code >> 5] & (1u << (code & 31u))) != 0;
    return juce::CharacterFunctions::isLetterOrDigit (c) || c == '_' || c == '-' || c == ':' || c == '.';
}

CharPointer endOfName (CharPointer p) noexcept
{
    while (isNameChar (*p))
        ++p;
    return p;
}

bool startsWith (CharPointer p, const char* ascii) noexcept
{
    return juce::CharacterFunctions::compareUpTo (p, juce::CharPointer_ASCII (ascii), (int) std::strlen (ascii)) == 0;
}

/** Walks a text the way the framework's XML reader does, without building anything and
    without recursion, and measures how deep that reader would recurse. Every step mirrors
    the reader's, so that no part of the text the reader takes as elements is skipped here
    (a quote, comment or reference read differently would hide elements from the count).
    A DOCTYPE that declares entities is refused, and so is a reference that is not a name
    between '&' and ';': the reader would expand such text, possibly into elements. */
class NestingScan
{
public:
    explicit NestingScan (const juce::String& text) : input (text.getCharPointer()) {}

    bool isSafe()
    {
        if (input.isEmpty())
            return true;

        skipWhiteSpace();
        if (startsWith (input, "<?xml"))
        {
            auto headerEnd = juce::CharacterFunctions::find (input, juce::CharPointer_ASCII ("?>"));
            if (headerEnd.isEmpty())
                return true; // the reader stops at a broken header
            input = headerEnd + 2;
            skipWhiteSpace();
        }

        if (startsWith (input, "<!DOCTYPE"))
        {
            input += 9;
            const auto start = input;
            for (int open = 1; open > 0;)
            {
                const auto c = readNextChar();
                if (outOfData)
                    return true; // the reader stops at a broken DOCTYPE
                if (c == '<')
                    ++open;
                else if (c == '>')
                    --open;
            }
            // Declared entities would be expanded by the reader, into elements or into
            // themselves without end.
            if (juce::String (start, input).containsIgnoreCase ("<!entity"))
                return false;
        }

        if (readTag() != Tag::open)
            return ! refused;

        int depth = 1;
        while (depth > 0 && ! outOfData && ! refused)
        {
            const auto beforeSpace = input;
            skipWhiteSpace();
            if (outOfData)
                break;

            if (*input != '<')
            {
                input = beforeSpace;
                skipText();
                continue;
            }

            if (input[1] == '/')
            {
                // Any closing tag ends the element being read, whatever its name.
                const auto close = input.indexOf ((juce::juce_wchar) '>');
                if (close >= 0)
                    input += close + 1;
                --depth;
            }
            else if (input[1] == '!' && startsWith (input + 2, "[CDATA["))
            {
                input += 9;
                const auto end = input.indexOf (juce::CharPointer_ASCII ("]]>"));
                if (end < 0)
                    return true;
                input += end + 3;
            }
            else
            {
                switch (readTag())
                {
                    case Tag::none: --depth; break; // the reader gives up on this element
                    case Tag::empty: break;
                    case Tag::open:
                        if (++depth > XmlFile::maxDepth)
                            return false;
                        break;
                }
            }
        }
        return ! refused;
    }

private:
    enum class Tag { none, empty, open };

    CharPointer input;
    bool outOfData = false;
    bool refused = false;

    juce::juce_wchar readNextChar() noexcept
    {
        const auto c = input.getAndAdvance();
        if (c == 0)
        {
            outOfData = true;
            --input;
        }
        return c;
    }

    /** White space, comments and processing instructions. */
    void skipWhiteSpace()
    {
        for (;;)
        {
            input.incrementToEndOfWhitespace();
            if (input.isEmpty())
            {
                outOfData = true;
                return;
            }
            if (*input != '<')
                return;

            const char* terminator = nullptr;
            int opening = 0;
            if (input[1] == '!' && input[2] == '-' && input[3] == '-')
                terminator = "-->", opening = 4;
            else if (input[1] == '?')
                terminator = "?>", opening = 2;
            else
                return;

            input += opening;
            const auto end = input.indexOf (juce::CharPointer_ASCII (terminator));
            if (end < 0)
            {
                outOfData = true;
                return;
            }
            input += end + (int) std::strlen (terminator);
        }
    }

    /** A start tag with its attributes: whether it opened an element with content. */
    Tag readTag()
    {
        skipWhiteSpace();
        if (outOfData || *input != '<')
            return Tag::none;

        ++input;
        auto nameEnd = endOfName (input);
        if (nameEnd == input)
        {
            skipWhiteSpace();
            nameEnd = endOfName (input);
            if (nameEnd == input)
                return Tag::none;
        }
        input = nameEnd;

        for (;;)
        {
            skipWhiteSpace();
            const auto c = *input;
            if (c == '/' && input[1] == '>')
            {
                input += 2;
                return Tag::empty;
            }
            if (c == '>')
            {
                ++input;
                return Tag::open;
            }
            if (! isNameChar (c))
                return Tag::empty; // the reader ends the element here, without content

            input = endOfName (input);
            skipWhiteSpace();
            if (readNextChar() != '=')
                return Tag::empty;
            skipWhiteSpace();
            if (*input != '"' && *input != '\'')
                return Tag::empty;
            skipQuoted();
            if (refused)
                return Tag::empty;
        }
    }

    void skipQuoted()
    {
        const auto quote = readNextChar();
        while (! outOfData)
        {
            const auto c = readNextChar();
            if (c == quote)
                return;
            --input;

            if (c == '&')
            {
                if (! skipReference())
                    return;
                continue;
            }
            for (;;)
            {
                const auto character = *input;
                if (character == quote)
                {
                    ++input;
                    return;
                }
                if (character == '&')
                    break;
                if (character == 0)
                {
                    outOfData = true;
                    break;
                }
                ++input;
            }
        }
    }

    /** Character data between tags, with its comments and references. */
    void skipText()
    {
        for (;;)
        {
            const auto c = *input;
            if (c == '<')
            {
                if (input[1] == '!' && input[2] == '-' && input[3] == '-')
                {
                    input += 4;
                    const auto close = input.indexOf (juce::CharPointer_ASCII ("-->"));
                    if (close < 0)
                    {
                        outOfData = true;
                        return;
                    }
                    input += close + 3;
                    continue;
                }
                return;
            }
            if (c == 0)
            {
                outOfData = true;
                return;
            }
            if (c == '&')
            {
                if (! skipReference())
                    return;
                continue;
            }
            while (*input != '<' && *input != '&' && *input != 0)
                ++input;
        }
    }

    /** An entity reference at '&': the predefined and numeric ones, and names that the
        reader (without declarations) keeps as plain text. */
    bool skipReference()
    {
        auto p = input + 1;
        for (auto* name : { "amp;", "quot;", "apos;", "lt;", "gt;" })
        {
            if (startsWith (p, name))
            {
                input = p + (int) std::strlen (name);
                return true;
            }
        }

        if (*p == '#')
        {
            ++p;
            const bool hex = *p == 'x' || *p == 'X';
            if (hex)
                ++p;
            int digits = 0;
            for (; *p != ';'; ++p)
            {
                const bool digit = hex ? juce::CharacterFunctions::getHexDigitValue (*p) >= 0
                                       : juce::CharacterFunctions::isDigit (*p);
                if (! digit || ++digits > (hex ? 6 : 7))
                    break;
            }
            if (*p == ';' && digits > 0)
            {
                input = p + 1;
                return true;
            }
        }
        else if (auto end = endOfName (p); end != p && *end == ';')
        {
            input = end + 1;
            return true;
        }

        refused = true;
        return false;
    }
};
}

juce::String XmlFile::toText (const juce::XmlElement& xml)
{
    auto format = juce::XmlElement::TextFormat().withoutHeader();
    format.lineWrapLength = 60;
    format.newLineChars = "\r\n";
    return xml.toString (format);
}

bool XmlFile::write (const juce::XmlElement& xml, const juce::File& target)
{
    return writeChecked (xml, target).wasOk();
}

juce::Result XmlFile::writeChecked (const juce::XmlElement& xml, const juce::File& target)
{
    const auto text = toText (xml).toStdString();
    return replaceWithDataChecked (target, text.data(), text.size());
}

bool XmlFile::replaceWithData (const juce::File& target, const void* data, size_t size)
{
    return replaceWithDataChecked (target, data, size).wasOk();
}

juce::Result XmlFile::replaceWithDataChecked (const juce::File& target, const void* data, size_t size)
{
    return replaceWithStream (target, [data, size] (juce::OutputStream& out) { out.write (data, size); });
}

juce::Result XmlFile::replaceWithStream (const juce::File& target,
                                         const std::function<void (juce::OutputStream&)>& writeContent)
{
    const auto fail = [] (const juce::String& reason) { return juce::Result::fail (reason); };

    if (target.getFullPathName().isEmpty())
        return fail ("no file chosen");
    if (target.isDirectory())
        return fail ("a folder has that name");
    if (const auto made = target.getParentDirectory().createDirectory(); made.failed())
        return fail (describeFailure (made.getErrorMessage()));

    // TemporaryFile writes beside the target and renames it over the target, so a
    // crash mid-write never leaves a half-written file behind.
    juce::TemporaryFile temp (target);
    {
        juce::FileOutputStream out (temp.getFile());
        if (out.failedToOpen())
            return fail (describeFailure (out.getStatus().getErrorMessage()));
        writeContent (out);
        out.flush();
        if (out.getStatus().failed())
            return fail (describeFailure (out.getStatus().getErrorMessage()));
    }
    // One attempt: a failed write is retried by its owner, and the framework's own retries
    // would hold the message thread for half a second each time.
    if (! temp.getFile().replaceFileIn (target))
        return fail (describeFailure (juce::String (std::strerror (errno))));
    return juce::Result::ok();
}

juce::String XmlFile::describeFailure (const juce::String& systemMessage)
{
    static const std::pair<int, const char*> reasons[] = {
        { ENOSPC, "disk full" },
#ifdef EDQUOT
        { EDQUOT, "disk full" },
#endif
        { EACCES, "permission denied" },
        { EPERM, "permission denied" },
        { EROFS, "read-only disk" },
        { EMFILE, "too many open files" },
        { ENFILE, "too many open files" },
        { ENOENT, "folder not found" },
        { ENOTDIR, "folder not found" },
        { EISDIR, "a folder has that name" },
        { EIO, "input/output error" },
        { EFBIG, "file too large" },
        { ENAMETOOLONG, "name too long" },
    };
    for (const auto& [code, reason] : reasons)
        if (systemMessage == juce::String (std::strerror (code)))
            return reason;
    return systemMessage.isNotEmpty() ? systemMessage : juce::String ("unknown error");
}

bool XmlFile::isSafeToParse (const juce::String& text)
{
    return NestingScan (text).isSafe();
}

std::unique_ptr<juce::XmlElement> XmlFile::parse (const juce::String& text)
{
    if (text.isEmpty() || ! isSafeToParse (text))
        return nullptr;
    return juce::XmlDocument::parse (text);
}

std::unique_ptr<juce::XmlElement> XmlFile::read (const juce::File& file)
{
    if (! file.existsAsFile() || file.getSize() == 0)
        return nullptr;
    return parse (file.loadFileAsString());
}

