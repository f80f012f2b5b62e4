#include "base/XMLParser.h"
#include "base/PakFile.h"
#include "base/PakInterface.h"
#include "base/PakWriter.h"
#include "platform/files/Files.h"
#include "tests/ScratchNames.h"

#include <gtest/gtest.h>

#include <random>

namespace
{

using namespace Kavo;

// Every element as one line: type letter, section, value, then the instruction in [] and
// the attributes in document order (and with lines, the line after it); the last line is "end"
// or the error and its line.
std::string Transcript(XMLParser& parser, bool lines = false)
{
    static const char kLetters[] = "?SETIC";
    std::string out;
    XMLElement e;
    while (parser.NextElement(e))
    {
        out += std::string(1, kLetters[e.type]) + " " + e.section + ":" + e.value;
        if (!e.instruction.empty()) out += "[" + e.instruction + "]";
        for (const std::string& name : e.attributeOrder)
            out += " " + name + "=" + e.attributes.at(name);
        if (lines) out += " @" + std::to_string(parser.GetCurrentLineNum());
        out += "\n";
    }
    if (parser.HasFailed())
        out += "! " + parser.GetErrorText() + " @" + std::to_string(parser.GetCurrentLineNum());
    else
        out += "end";
    return out;
}

std::string Utf16(const std::u16string& text, bool bigEndian)
{
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text)
    {
        char low = char(c & 0xFF), high = char(c >> 8);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

// Each document is read from a loose file and from an archive; both must give the same.
class XMLParserTest : public ::testing::Test
{
protected:
    std::string ParseBoth(const std::string& bytes, int& lines)
    {
        std::string name = "xml-" + scratch::TestName();
        EXPECT_TRUE(platform::WriteFileAtomically(name + ".xml", bytes));
        XMLParser disk;
        EXPECT_TRUE(disk.OpenFile(name + ".xml"));
        std::string fromDisk = Transcript(disk);
        lines = disk.GetCurrentLineNum();

        PakWriter writer;
        writer.AddFile("doc.xml", bytes);
        EXPECT_TRUE(writer.WriteFile(name + ".pak"));
        PakInterface archive;
        EXPECT_TRUE(archive.LoadPakIndex(name + ".pak"));
        PakInterfaceBase* previous = SetPakInterfacePointer(&archive);
        XMLParser packed;
        EXPECT_TRUE(packed.OpenFile("DOC.XML"));
        std::string fromArchive = Transcript(packed);
        SetPakInterfacePointer(previous);
        EXPECT_EQ(fromArchive, fromDisk);
        return fromDisk;
    }
    std::string ParseBoth(const std::string& bytes)
    {
        int lines;
        return ParseBoth(bytes, lines);
    }
};

TEST_F(XMLParserTest, ReadsTheGrammar)
{
    struct Case
    {
        const char* what;
        std::string document;
        std::string transcript;
    } cases[] = {
        {"nesting and sections", "<root>\n <child a=\"1\" b='2'/>\n</root>\n",
         "S :root\nS root:child a=1 b='2'\nE root/child:child\nE root:root\nend"},
        {"text runs", "<r>  a   \n\t b  <i/>c</r>", "S :r\nT r:a b\nS r:i\nE r/i:i\nT r:c\nE r:r\nend"},
        {"entities", "<r v=\"&lt;&amp;&quot;&bogus;x&y\">a&gt;b</r>", "S :r v=<&\"&x&y\nT r:a>b\nE r:r\nend"},
        {"self-closing forms", "<a/><b /><c x=1/><d x=\"1\"/><e y/>",
         "S :a\nE a:a\nS :b\nE b:b\nS :c x=1\nE c:c\nS :d x=1\nE d:d\nS :e y=\nE e:e\nend"},
        {"a quoted slash does not close", "<a href=\"dir/\">t</a>", "S :a href=dir/\nT a:t\nE a:a\nend"},
        {"attribute forms", "<a k = \"v w\" bare n=x m=\"\"\tz=\"1\" k=2>",
         "S :a k=2 bare= n=x m= z=1 k=2\nend"},
        {"instruction", "<?xml version=\"1.0\"?><r/>", "I :xml[ version=\"1.0\"]\nS :r\nE r:r\nend"},
        {"comments are skipped", "<r><!-- a <b> --></r>", "S :r\nE r:r\nend"},
        {"a comment needs white space", "<r><!--x--></r>",
         "S :r\nS r:!--x--\n! End 'r' Doesn't Match Start '!--x--' @1"},
        {"mismatched end", "<a>\n<b>\n</a>", "S :a\nS a:b\n! End 'a' Doesn't Match Start 'b' @3"},
        {"end with nothing open", "</a>", "! Unexpected End @1"},
        {"< inside a tag", "<a <b>", "! Unexpected '<' @1"},
        {"> in text", "<a>x > y</a>", "S :a\n! Unexpected '>' @1"},
        {"cut inside a tag", "<a>\n<b c=\"1", "S :a\n! Unexpected End of File @2"},
        {"control character", "<a>\x01</a>", "S :a\n! Illegal Character @1"},
        {"control character in quotes", "<a v=\"\x01\"/>", "S :a v=\x01\nE a:a\nend"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseBoth(c.document), c.transcript) << c.what;
}

TEST_F(XMLParserTest, CommentsWhenAllowedAndTheAttributeRecord)
{
    ASSERT_TRUE(platform::WriteFileAtomically("xml-comments.xml", "<r><!-- note --></r>"));
    XMLParser parser;
    parser.AllowComments(true);
    ASSERT_TRUE(parser.OpenFile("xml-comments.xml"));
    EXPECT_EQ(Transcript(parser), "S :r\nC r:!--[note ]\nE r:r\nend");

    XMLElement e;
    EXPECT_TRUE(parser.AddAttribute(e, "a", "1"));
    EXPECT_FALSE(parser.AddAttribute(e, "a", "2"));
    EXPECT_TRUE(parser.AddAttribute(e, "/", ""));
    EXPECT_EQ(e.attributes.at("a"), "2");
    EXPECT_EQ(e.attributeOrder, (std::vector<std::string>{"a", "a"}));
}

TEST_F(XMLParserTest, ReadsEachEncoding)
{
    // U+0D41 is stored as the bytes 41 0D little-endian: a dropped 13 would shift every
    // character after it.
    const std::u16string text = u"<r v=\"\u00E9\" w=\"\u20AC\">\r\nx\u0D41y\u00E9</r>";
    const std::string expected = "S :r v=\xE9 w=\nT r:xAy\xE9\nE r:r\nend";
    struct Case
    {
        const char* what;
        std::string bytes;
        std::string transcript;
    } cases[] = {
        {"UTF-16 little-endian", Utf16(text, false), expected},
        {"UTF-16 big-endian", Utf16(text, true), expected},
        {"UTF-8 with its mark",
         "\xEF\xBB\xBF<r v=\"\xC3\xA9\" w=\"\xE2\x82\xAC\">\r\nx\xE0\xB5\x81y\xC3\xA9</r>", expected},
        {"bytes without a mark", "<r v=\"caf\xE9\xA0\">\xC3\xA9</r>",
         "S :r v=caf\xE9\xA0\nT r:\xC3\xA9\nE r:r\nend"},
        {"UTF-16 cut after a whole element", Utf16(u"<r/>", false) + "<", "S :r\nE r:r\nend"},
        {"UTF-16 cut inside a tag", Utf16(u"<r", false) + "a", "! Unexpected End of File @1"},
        {"UTF-8 cut inside a character", "\xEF\xBB\xBF<r/>\xE2\x82", "S :r\nE r:r\nend"},
        {"UTF-8 overlong", "\xEF\xBB\xBF<r>\xC0\x80</r>", "S :r\n! Illegal Character @1"},
        {"UTF-8 surrogate", "\xEF\xBB\xBF<r>\xED\xA0\x80</r>", "S :r\n! Illegal Character @1"},
        {"UTF-8 stray continuation", "\xEF\xBB\xBF<r>\x80</r>", "S :r\n! Illegal Character @1"},
    };
    for (const Case& c : cases)
    {
        int lines = 0;
        EXPECT_EQ(ParseBoth(c.bytes, lines), c.transcript) << c.what;
    }
    int lines = 0;
    ParseBoth(Utf16(u"<r>\r\n\r\n</r>", false), lines);
    EXPECT_EQ(lines, 3);

    // A high surrogate without its low half ends the input as the end of the file does, and
    // for good: what follows it is never read.
    ASSERT_TRUE(platform::WriteFileAtomically(
        "xml-broken-pair.xml", Utf16(u"<a/>" + std::u16string(1, char16_t(0xD800)) + u"<b/>", false)));
    XMLParser parser;
    ASSERT_TRUE(parser.OpenFile("xml-broken-pair.xml"));
    EXPECT_EQ(Transcript(parser), "S :a\nE a:a\nend");
    XMLElement e;
    EXPECT_FALSE(parser.NextElement(e));
    EXPECT_FALSE(parser.HasFailed());
}

TEST_F(XMLParserTest, OpenFailuresAndReuse)
{
    XMLParser parser;
    EXPECT_FALSE(parser.OpenFile("xml-no-such-file.xml"));
    EXPECT_TRUE(parser.HasFailed());
    EXPECT_EQ(parser.GetErrorText(), "Unable to open file xml-no-such-file.xml");
    EXPECT_EQ(parser.GetCurrentLineNum(), 0);
    XMLElement e;
    EXPECT_FALSE(parser.NextElement(e));

    // A parser opened again starts afresh.
    ASSERT_TRUE(platform::WriteFileAtomically("xml-reuse.xml", "<a>"));
    ASSERT_TRUE(parser.OpenFile("xml-reuse.xml"));
    EXPECT_FALSE(parser.HasFailed());
    EXPECT_EQ(parser.GetFileName(), "xml-reuse.xml");
    EXPECT_EQ(Transcript(parser), "S :a\nend");
    EXPECT_FALSE(parser.NextElement(e));

    // Without detection a file without a mark is read as UTF-8.
    ASSERT_TRUE(platform::WriteFileAtomically("xml-utf8.xml", "<r v=\"\xC3\xA9\"/>"));
    XMLParser utf8;
    utf8.SetEncodingDetection(false);
    ASSERT_TRUE(utf8.OpenFile("xml-utf8.xml"));
    EXPECT_EQ(Transcript(utf8), "S :r v=\xE9\nE r:r\nend");
}

// The reader takes runs of plain characters straight from the 64 KiB pieces it reads; with
// that off, every character takes the one-character rule. Both must give the same elements,
// attributes, errors and lines, wherever a piece ends.
class XMLParserRunsTest : public ::testing::Test
{
protected:
    void ExpectSameAsOneCharacterRule(const std::string& bytes, const std::string& what)
    {
        const std::string name = "xml-" + scratch::TestName() + ".xml";
        ASSERT_TRUE(platform::WriteFileAtomically(name, bytes));
        for (bool comments : {false, true})
        {
            std::string transcripts[2];
            for (bool fast : {false, true})
            {
                XMLParser parser;
                parser.SetFastScanning(fast);
                parser.AllowComments(comments);
                ASSERT_TRUE(parser.OpenFile(name));
                transcripts[fast] = Transcript(parser, true);
            }
            ASSERT_EQ(transcripts[true], transcripts[false])
                << what << (comments ? ", comments allowed" : "");
        }
    }
};

TEST_F(XMLParserRunsTest, PiecesEndingAnywhereInEveryState)
{
    // Each state of the reader once: a tag name, attribute names and values with and without
    // quotes, entities, CR LF inside quotes, a tag and text, a comment, text with quotes, an end
    // tag with white space, an element closed by "/>"; in UTF-8 also two- and three-byte
    // characters in text, a value and a name.
    const std::string sample = "<key name=\"a&amp;b\r\nc\" v=x/ w='y'>te&lt;xt\r\n  more&quot;<!-- c\r\n- -->"
                               "\"q <\r\n\" &bogus; &amp</key >\r\n<k2 a=\"1\"/>";
    const std::string utf8Sample =
        "<k\xC3\xA9y a=\"\xE2\x82\xAC\xC3\xA9\">t\xC3\xA9\r\nx\xE2\x82\xAC</k\xC3\xA9y>";
    constexpr size_t kPiece = 64 * 1024;
    for (bool utf8 : {false, true})
    {
        const std::string head = utf8 ? "\xEF\xBB\xBF<root>" : "<root>";
        const std::string& piece = utf8 ? utf8Sample : sample;
        for (size_t at = 0; at <= piece.size(); ++at)
        {
            // Filler white space with a line feed every 80 bytes puts byte `at` of the piece first
            // in the file's second piece.
            std::string filler(kPiece - head.size() - at, ' ');
            for (size_t i = 79; i < filler.size(); i += 80)
                filler[i] = '\n';
            ExpectSameAsOneCharacterRule(head + filler + piece + piece + "</root>",
                                         std::string(utf8 ? "UTF-8" : "bytes") + ", split at " +
                                             std::to_string(at));
        }
    }
}

TEST_F(XMLParserRunsTest, GeneratedDocuments)
{
    // Documents of tags, attributes, text, comments and instructions with stray characters
    // among them, some longer than a piece: every run stops where the one-character rule would.
    static const char* const kPieces[] = {
        "<b x=\"1\" y = 'z' k>",
        "<c/>",
        "<d v=\"a/\"/>",
        "<e f=g/>",
        "<h i/>",
        "<j \"q\"/>",
        "<?pi x=\"y\"?>",
        "<!-- c -->",
        "text",
        " more  words ",
        "&amp;&lt;&quot;",
        "&bogus;",
        "&x",
        "\"in quotes < > \"",
        "\r\n",
        "\n",
        "\t",
        " ",
        "\xE9",
        "\xC3\xA9",
        "\xE2\x82\xAC",
        "<n&amp;m/>",
        "<!--x-->",
        "=",
        "/",
        "?",
        ">",
        "<",
        "\"",
        "\x01",
        "<!-- ",
        "-->",
        "</",
        "/>",
        "<a\"b c\"/>",
        "<p a=\"x\nline\"/>",
        "</b>",
    };
    constexpr unsigned kPlainPieces = 22; // the rest are stray
    std::mt19937 random(20240611);
    for (int document = 0; document < 300; ++document)
    {
        const bool utf8 = document % 3 == 0;
        std::string bytes = utf8 ? "\xEF\xBB\xBF<r>" : "<r>";
        // Stray pieces are rare in most documents so that the reading goes deep.
        const unsigned strays = document % 4 == 0 ? 40 : 2;
        const size_t length = document % 10 == 0 ? 70000 : 2000;
        int open = 0;
        while (bytes.size() < length)
        {
            unsigned pick =
                random() % 1000 < strays ? random() % std::size(kPieces) : random() % kPlainPieces;
            if (pick == 18 && utf8) pick = 19; // a character, not a stray byte
            if (pick == 0) ++open;
            if (pick == 1 && open > 0 && random() % 2 == 0)
            {
                bytes += "</b>";
                --open;
            }
            bytes += kPieces[pick];
        }
        for (; open > 0; --open)
            bytes += "</b>";
        bytes += "</r>";
        ExpectSameAsOneCharacterRule(bytes, "document " + std::to_string(document));
    }
}

} // namespace
