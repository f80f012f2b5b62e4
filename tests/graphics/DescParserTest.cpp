#include "graphics/DescParser.h"
#include "graphics/SingleDataElement.h"

#include "base/MersenneTwister.h"
#include "base/PakFile.h"
#include "base/PakInterface.h"
#include "base/PakWriter.h"
#include "tests/ScratchNames.h"

#include <gtest/gtest.h>

#include <fstream>

namespace
{

using namespace Kavo;

// Records each command as text; "Def name value" stores a define the way a font
// description would, "Fail" fails.
class RecordingParser : public DescParser
{
public:
    std::vector<std::string> commands;
    std::vector<int> lines;

    bool HandleCommand(ListDataElement& params) override
    {
        commands.push_back(DataElementToString(&params));
        lines.push_back(mCurrentLine);
        std::string word = static_cast<SingleDataElement*>(params.At(0))->mValue;
        if (word == "Fail") return Error("Failed here");
        if (word == "Def" && params.Size() == 3)
        {
            DataElement* value = params.At(2);
            if (value->mIsList)
            {
                auto* list = new ListDataElement();
                if (!Dereference(*static_cast<ListDataElement*>(value), *list))
                {
                    delete list;
                    return false;
                }
                SetDefine(static_cast<SingleDataElement*>(params.At(1))->mValue, list);
            }
            else
            {
                SetDefine(static_cast<SingleDataElement*>(params.At(1))->mValue, value->Duplicate());
            }
        }
        return true;
    }

    bool Load(const std::string& text)
    {
        std::string name = "desc-" + scratch::TestName() + ".txt";
        std::ofstream(name, std::ios::binary) << text;
        return LoadFile(name);
    }

    std::string Tokens(const std::string& text)
    {
        ListDataElement out;
        if (!ParseList(text, out, false)) return "error: " + mError;
        return DataElementToString(&out);
    }
};

TEST(DescParser, TokenisesWordsQuotesAndLists)
{
    struct Case
    {
        const char* text;
        const char* tokens;
    };
    const Case cases[] = {
        {"a,b c", "(a, b, c)"},
        {"(1, 2) (3 4)", "((1, 2), (3, 4))"},
        {"x ((1) ())", "(x, ((1), ()))"},
        {"'a b' \"c,d\" 'it''s'", "('a b', \"c,d\", 'it''s')"},
        {"'say \"hi\"' \"(\"", "('say \"hi\"', \"(\")"},
        {"a\\ b \\(", "(a b, ()"},
        {"''", "('')"},
        {"\t\n , ", "()"},
    };
    for (const Case& c : cases)
    {
        RecordingParser parser;
        EXPECT_EQ(parser.Tokens(c.text), c.tokens) << c.text;
    }
}

TEST(DescParser, SyntaxErrorsNameThemselves)
{
    struct Case
    {
        std::string text;
        const char* error;
    };
    const Case cases[] = {
        {"a )", "Unexpected List End"},
        {"a(b)", "Unexpected List Start"},
        {"'abc", "Unterminated Single Quotes"},
        {"\"abc", "Unterminated Double Quotes"},
        {"(a (b)", "Unterminated List"},
        {"(a \"b)\"", "Unterminated List"},
        // Nesting past the limit is refused rather than recursed into.
        {std::string(DescParser::kMaxListDepth + 1, '(') + std::string(DescParser::kMaxListDepth + 1, ')'),
         "Unexpected List Start"},
        {std::string(100000, '('), "Unexpected List Start"},
    };
    for (const Case& c : cases)
    {
        RecordingParser parser;
        EXPECT_EQ(parser.Tokens(c.text), std::string("error: ") + c.error) << c.text.substr(0, 20);
    }
    RecordingParser parser;
    std::string deepest =
        std::string(DescParser::kMaxListDepth, '(') + std::string(DescParser::kMaxListDepth, ')');
    EXPECT_EQ(parser.Tokens(deepest).substr(0, 3), "(((");
}

TEST(DescParser, PositionsOutsideTheTextReadNothing)
{
    RecordingParser parser;
    for (int start : {-5, 3, 4, 1000})
    {
        ListDataElement out;
        int position = start;
        EXPECT_TRUE(parser.ParseList("abc", out, false, &position)) << start;
        EXPECT_EQ(out.Size(), start < 0 ? 1u : 0u) << start;
        EXPECT_LE(position, 3);
    }
    ListDataElement out;
    int position = 2;
    EXPECT_TRUE(parser.ParseList("(a) b", out, true, &position));
    EXPECT_EQ(DescParser::DataElementToString(&out), "()");
    EXPECT_EQ(position, 3);
}

TEST(DescParser, UnquoteDropsQuotesAndHalvesDoubledOnes)
{
    struct Case
    {
        const char* text;
        const char* plain;
    };
    const Case cases[] = {
        {"'it''s'", "it's"},
        {"''", ""},
        {"'", ""},
        {"\"a'b\"", "a'b"},
        {"\"x\"\"y\"", "x\"y"},
        {"plain", "plain"},
        {"", ""},
        {"'a'b'", "ab"},
        // Runs of three or more: each quote after a quote is kept, the opening one never.
        {"'''", "'"},
        {"''''", "''"},
        {"'a'''", "a''"},
        {"'''a'", "'a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DescParser::Unquote(c.text), c.plain) << c.text;
}

TEST(DescParser, ReadsCommandsCommentsAndLineNumbers)
{
    RecordingParser parser;
    EXPECT_TRUE(parser.Load("# a comment line; with 'quotes\r\n"
                            "First a 'b;c' \"#d\";\r\n"
                            "\n"
                            "  Second x # not a comment\n"
                            "   (1\n"
                            "    2);Third;\n"
                            "Fourth 'a\n"
                            "# inside quotes' \"e\\\"f\" 'g\\\\h'\n"
                            ";;  ; Last"));
    const std::vector<std::string> expected = {
        "(First, a, 'b;c', \"#d\")",
        "(Second, x, #, not, a, comment, (1, 2))",
        "(Third)",
        "(Fourth, 'a\n# inside quotes', \"e\"f\", 'g\\h')",
        "(Last)",
    };
    EXPECT_EQ(parser.commands, expected);
    EXPECT_EQ(parser.lines, (std::vector<int>{2, 4, 6, 7, 9}));
    EXPECT_EQ(parser.mCurrentLine, 0);
    EXPECT_TRUE(parser.mCurrentCommand.empty());
}

TEST(DescParser, UnindentedLinesEndCommandsWhenAsked)
{
    RecordingParser parser;
    parser.mFlags = DescParser::kUnindentedLineEnds;
    EXPECT_TRUE(parser.Load("One a\n  b\nTwo c;d\n\tThree"));
    EXPECT_EQ(parser.commands, (std::vector<std::string>{"(One, a, b)", "(Two, c;d, Three)"}));
    EXPECT_EQ(parser.lines, (std::vector<int>{1, 3}));
}

TEST(DescParser, StopsAtTheFirstFailedCommand)
{
    struct Case
    {
        const char* text;
        const char* error;
        size_t handled;
    };
    const Case cases[] = {
        {"A; Fail 1; B", "Failed here", 2},
        {"A;\n(x) y; B", "Missing Command", 1},
        {"A; B (; C", "Unterminated List", 1},
        {"A; B 'x", "Unterminated Single Quotes", 1},
    };
    for (const Case& c : cases)
    {
        RecordingParser parser;
        EXPECT_FALSE(parser.Load(c.text)) << c.text;
        EXPECT_EQ(parser.mError, c.error) << c.text;
        EXPECT_EQ(parser.commands.size(), c.handled) << c.text;
    }
    RecordingParser parser;
    EXPECT_FALSE(parser.LoadFile("no-such-description.txt"));
    EXPECT_TRUE(parser.mError.empty());
}

TEST(DescParser, ReadsDescriptionsOutOfTheArchive)
{
    PakWriter writer;
    writer.AddFile("descfonts/Archived.txt", "FromArchive 1;\r\nSecond");
    ASSERT_TRUE(writer.WriteFile("desc-archive.pak"));
    PakInterface archive;
    ASSERT_TRUE(archive.LoadPakIndex("desc-archive.pak"));
    PakInterfaceBase* previous = SetPakInterfacePointer(&archive);
    RecordingParser parser;
    bool loaded = parser.LoadFile("DescFonts\\archived.TXT");
    SetPakInterfacePointer(previous);
    EXPECT_TRUE(loaded);
    EXPECT_EQ(parser.commands, (std::vector<std::string>{"(FromArchive, 1)", "(Second)"}));
}

TEST(DescParser, DefinesResolveInConversions)
{
    RecordingParser parser;
    ASSERT_TRUE(parser.Load("Def X 10; Def Name 'Bob'; Def L ('a' \"b2\" -3 X); Def Nested (X (X));"
                            "Def Words (\"one\" 'two');"));
    SingleDataElement x("x"), name("NAME"), literal("'lit''s'"), missing("Nope"), words("words");
    std::string text;
    EXPECT_TRUE(parser.DataToString(&x, text));
    EXPECT_EQ(text, "10");
    EXPECT_TRUE(parser.DataToString(&name, text));
    EXPECT_EQ(text, "Bob");
    EXPECT_TRUE(parser.DataToString(&literal, text));
    EXPECT_EQ(text, "lit's");
    SingleDataElement l("L");
    EXPECT_FALSE(parser.DataToString(&l, text)); // a list define is no string

    EXPECT_EQ(DescParser::DataElementToString(parser.FindDefine("l")), "(a, b2, -3, 10)");
    EXPECT_EQ(DescParser::DataElementToString(parser.FindDefine("nested")), "(10, (10))");

    std::vector<std::string> texts;
    EXPECT_TRUE(parser.DataToStringVector(&words, texts));
    EXPECT_EQ(texts, (std::vector<std::string>{"one", "two"}));
    EXPECT_FALSE(parser.DataToStringVector(&missing, texts));
    EXPECT_EQ(parser.mError, "Unable to Dereference \"Nope\"");
    SingleDataElement nested("Nested");
    EXPECT_FALSE(parser.DataToStringVector(&nested, texts));

    ListDataElement ints;
    ints.Add(new SingleDataElement("X"));
    ints.Add(new SingleDataElement("0x10"));
    ints.Add(new SingleDataElement("-2"));
    std::vector<int> numbers;
    EXPECT_TRUE(parser.DataToIntVector(&ints, numbers));
    EXPECT_EQ(numbers, (std::vector<int>{10, 16, -2}));
    ints.Add(new SingleDataElement("'7'"));
    EXPECT_TRUE(parser.DataToIntVector(&ints, numbers)); // quotes are removed before converting
    ints.Add(new SingleDataElement("\"x\""));
    EXPECT_FALSE(parser.DataToIntVector(&ints, numbers));
    EXPECT_TRUE(numbers.empty());

    ListDataElement fractions;
    fractions.Add(new SingleDataElement("0.5"));
    fractions.Add(new SingleDataElement("X"));
    std::vector<double> doubles;
    EXPECT_TRUE(parser.DataToDoubleVector(&fractions, doubles));
    EXPECT_EQ(doubles, (std::vector<double>{0.5, 10.0}));

    ListDataElement copy;
    EXPECT_TRUE(parser.DataToList(&l, copy));
    EXPECT_EQ(DescParser::DataElementToString(&copy), "(a, b2, -3, 10)");
    EXPECT_FALSE(parser.DataToList(&x, copy));
    // Empty quotes inside a list stay as an empty value; only a raw empty text is skipped.
    ListDataElement raw, resolved;
    raw.Add(new SingleDataElement("''"));
    raw.Add(new SingleDataElement(""));
    EXPECT_TRUE(parser.Dereference(raw, resolved));
    ASSERT_EQ(resolved.Size(), 1u);
    EXPECT_EQ(static_cast<SingleDataElement*>(resolved.At(0))->mValue, "");
}

TEST(DescParser, DefinesCannotNestWithoutBound)
{
    // Each command wraps the previous value once more; the parser refuses to go past its limit.
    std::string text = "Def A 1;";
    for (int i = 0; i < 200; ++i)
        text += "Def A (A);";
    RecordingParser parser;
    EXPECT_FALSE(parser.Load(text));
    EXPECT_EQ(parser.mError, "Unexpected List Start");
    EXPECT_LT(parser.commands.size(), 200u);
}

TEST(DescParser, GarbageNeverCrashes)
{
    // Random bytes drawn mostly from the characters the reader treats specially.
    const char alphabet[] = "()'\"\\;#,\n\r\t abcDef019-+";
    MersenneTwister random(1234);
    for (int round = 0; round < 300; ++round)
    {
        std::string text;
        int length = int(random.Next() % 200);
        for (int i = 0; i < length; ++i)
        {
            uint32_t pick = random.Next();
            text += pick % 8 == 0 ? char(pick >> 8) : alphabet[(pick >> 8) % (sizeof(alphabet) - 1)];
        }
        RecordingParser parser;
        // A failed load always says why.
        if (!parser.Load(text))
        {
            EXPECT_FALSE(parser.mError.empty()) << round;
        }
    }
}

} // namespace
