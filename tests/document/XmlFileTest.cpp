#include "document/XmlFile.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace
{
juce::String repeated (const char* text, int times) { return juce::String::repeatedString (text, times); }

juce::String nested (int depth) { return repeated ("<a>", depth) + repeated ("</a>", depth); }
}

TEST (XmlFileParse, NestingUpToTheLimitIsReadAndDeeperIsRefusedBeforeParsing)
{
    EXPECT_NE (XmlFile::parse (nested (XmlFile::maxDepth)), nullptr);
    EXPECT_EQ (XmlFile::parse (nested (XmlFile::maxDepth + 1)), nullptr);
    // Deep enough to crash the framework's reader, had it been given the text.
    EXPECT_EQ (XmlFile::parse (nested (100000)), nullptr);
    EXPECT_EQ (XmlFile::parse ("<r>" + repeated ("<a>", 100000)), nullptr) << "unclosed";
    EXPECT_EQ (XmlFile::parse (""), nullptr);
}

TEST (XmlFileParse, WhatIsNotAnElementDoesNotCount)
{
    const auto deepText = repeated ("<a>", 1000);
    const struct
    {
        const char* name;
        juce::String text;
    } accepted[] = {
        { "comment", "<r><!-- " + deepText + " --></r>" },
        { "comment in a tag", "<r <!-- " + deepText + " --> v=\"1\"/>" },
        { "CDATA", "<r><![CDATA[" + deepText + "]]></r>" },
        { "processing instruction", "<?xml version=\"1.0\"?><r><?pi " + deepText + " ?></r>" },
        { "DOCTYPE", "<!DOCTYPE r [ <!ELEMENT r ANY> <!-- " + deepText + " --> ]><r/>" },
        { "attribute values", "<r v=\"" + deepText + "\" w='>" + deepText + "'/>" },
        { "references", "<r v=\"&amp;&lt;&#65;&#x42;\">&gt;&quot;&apos;&#10;</r>" },
        { "undeclared name", "<r v=\"&nbsp;\">&copy;</r>" },
        { "many siblings", "<r>" + repeated ("<a x=\"1\">text</a><b/>", 20000) + "</r>" },
    };
    for (const auto& c : accepted)
    {
        EXPECT_TRUE (XmlFile::isSafeToParse (c.text)) << c.name;
        EXPECT_NE (XmlFile::parse (c.text), nullptr) << c.name;
    }
}

TEST (XmlFileParse, TextThatTheReaderWouldTakeAsElementsCounts)
{
    // Each of these makes the framework's reader end a tag early or read past something that
    // looks like a quote or a comment, and then read the elements behind it.
    const auto deep = repeated ("<a>", 100000);
    const struct
    {
        const char* name;
        juce::String text;
    } refused[] = {
        { "stray quote in a tag", "<r><x \">" + deep + "\"/></r>" },
        { "attribute without '='", "<r><x a<![CDATA[ " + deep + " ]]></r>" },
        { "unquoted value", "<r><x a=b>" + deep + "</r>" },
        { "non-ASCII letter ends a name", "<r><x a\u2192=\"" + deep + "\"/></r>" },
        { "declared entities", "<!DOCTYPE r [ <!ENTITY e \"<a>&e;</a>\"> ]><r>&e;</r>" },
        { "entity holding elements", "<r>&" + deep + ";</r>" },
        { "entity across a quote", "<r x=\"&\" y=';" + deep + "'/>" },
        { "unfinished reference", "<r>&#12</r>" },
    };
    for (const auto& c : refused)
    {
        EXPECT_FALSE (XmlFile::isSafeToParse (c.text)) << c.name;
        EXPECT_EQ (XmlFile::parse (c.text), nullptr) << c.name;
    }
}

TEST (XmlFileParse, FailuresAreNamedForTheOperator)
{
    const struct
    {
        int code;
        const char* reason;
    } cases[] = { { ENOSPC, "disk full" },        { EACCES, "permission denied" }, { EPERM, "permission denied" },
                  { EROFS, "read-only disk" },    { EMFILE, "too many open files" }, { ENFILE, "too many open files" },
                  { ENOENT, "folder not found" } };
    for (const auto& c : cases)
        EXPECT_EQ (XmlFile::describeFailure (std::strerror (c.code)), c.reason) << c.code;
    EXPECT_EQ (XmlFile::describeFailure ("Something odd"), "Something odd");
}
