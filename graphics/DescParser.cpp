#include "graphics/DescParser.h"

#include "base/PakFile.h"
#include "base/StringUtils.h"
#include "graphics/SingleDataElement.h"

#include <algorithm>

namespace Kavo
{

namespace
{

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == ',';
}

bool StartsLikeLiteral(char c)
{
    return (c >= '0' && c <= '9') || c == '-' || c == '+';
}

// Nesting of a value: 0 for a single value, 1 for a flat list.
int Depth(const DataElement* element)
{
    if (!element->mIsList) return 0;
    int deepest = 0;
    for (const DataElement* child : static_cast<const ListDataElement*>(element)->mElements)
        deepest = std::max(deepest, Depth(child));
    return deepest + 1;
}

} // namespace

DescParser::~DescParser() = default;

bool DescParser::Error(const std::string& text)
{
    mError = text;
    return false;
}

DataElement* DescParser::FindDefine(const std::string& name)
{
    auto it = mDefines.find(StringToUpper(name));
    return it == mDefines.end() ? nullptr : it->second.get();
}

void DescParser::SetDefine(const std::string& name, DataElement* value)
{
    mDefines[StringToUpper(name)].reset(value);
}

bool DescParser::LoadFile(const std::string& fileName)
{
    mCurrentLine = 0;
    mError.clear();
    std::string contents;
    return PakReadWholeFile(fileName, contents) && ReadCommands(contents);
}

bool DescParser::ReadCommands(std::string_view contents)
{
    size_t next = 0;
    int pushedBack = -1; // one character given back to the reader
    int lineCount = 0;   // '\n' characters read so far

    bool atLineStart = true, startedBlank = false, inComment = false;
    bool inSingle = false, inDouble = false, escape = false;
    bool ok = true;
    mCurrentCommand.clear();

    auto append = [&](char c)
    {
        if (mCurrentCommand.empty()) mCurrentLine = lineCount + 1;
        mCurrentCommand += c;
    };
    auto endCommand = [&]()
    {
        if (!mCurrentCommand.empty() && !ParseLine(mCurrentCommand)) ok = false;
        mCurrentCommand.clear();
        atLineStart = true;
        startedBlank = inComment = inSingle = inDouble = escape = false;
    };

    while (ok)
    {
        char c;
        if (pushedBack >= 0)
        {
            c = char(pushedBack);
            pushedBack = -1;
        }
        else if (next < contents.size())
        {
            c = contents[next++];
            if (c == '\n') ++lineCount;
        }
        else
        {
            break;
        }

        if (c == '\r') continue;
        if (atLineStart)
        {
            if (c == ' ' || c == '\t')
            {
                startedBlank = true;
                continue;
            }
            if (c == '\n') continue;
            atLineStart = false;
            if ((mFlags & kUnindentedLineEnds) && !startedBlank && !mCurrentCommand.empty())
            {
                pushedBack = static_cast<unsigned char>(c);
                endCommand();
                continue;
            }
            // Inside quotes that run over a line a '#' is text, not a comment.
            if (c == '#' && !inSingle && !inDouble)
            {
                inComment = true;
                continue;
            }
        }
        if (c == '\n')
        {
            atLineStart = true;
            startedBlank = false;
            if (inComment)
            {
                inComment = false;
                continue;
            }
        }
        if (inComment) continue;

        bool quoted = inSingle || inDouble;
        if (c == '\\' && quoted)
        {
            if (!escape)
            {
                escape = true;
            }
            else
            {
                append('\\');
                append('\\');
                escape = false;
            }
            continue;
        }
        if ((c == '\'' && !inDouble) || (c == '"' && !inSingle))
        {
            if (escape)
            {
                append('\\');
                escape = false;
            }
            else if (c == '\'')
            {
                inSingle = !inSingle;
            }
            else
            {
                inDouble = !inDouble;
            }
            append(c);
            continue;
        }
        if (c == ';' && !quoted && (mFlags & kSemicolonEnds))
        {
            endCommand();
            continue;
        }
        if (escape)
        {
            append('\\');
            escape = false;
        }
        append(c);
    }
    if (ok) endCommand();

    mCurrentCommand.clear();
    mCurrentLine = 0;
    return ok;
}

bool DescParser::ParseLine(const std::string& command)
{
    ListDataElement params;
    if (!ParseList(command, params, false)) return false;
    if (params.Size() == 0) return true;
    if (params.At(0)->mIsList) return Error("Missing Command");
    return HandleCommand(params);
}

bool DescParser::ParseList(const std::string& text, ListDataElement& out, bool inList, int* position)
{
    size_t pos = position && *position > 0 ? size_t(*position) : 0;
    bool ok = ParseListAt(text, out, inList, pos, inList ? 1 : 0);
    if (position) *position = int(std::min(pos, text.size()));
    return ok;
}

bool DescParser::ParseListAt(const std::string& text, ListDataElement& out, bool inList, size_t& pos,
                             int depth)
{
    bool inSingle = false, inDouble = false, escape = false;
    SingleDataElement* token = nullptr;
    auto append = [&](char c)
    {
        if (!token)
        {
            token = new SingleDataElement();
            out.Add(token);
        }
        token->mValue += c;
    };

    while (pos < text.size())
    {
        char c = text[pos++];
        if (escape)
        {
            escape = false;
            append(c);
            continue;
        }
        if (c == '\\')
        {
            escape = true;
            continue;
        }
        if ((c == '\'' && !inDouble) || (c == '"' && !inSingle))
        {
            if (c == '\'')
                inSingle = !inSingle;
            else
                inDouble = !inDouble;
            append(c);
            continue;
        }
        if (inSingle || inDouble)
        {
            append(c);
            continue;
        }
        if (c == ')')
        {
            if (inList) return true;
            return Error("Unexpected List End");
        }
        if (c == '(')
        {
            if (token || depth >= kMaxListDepth) return Error("Unexpected List Start");
            auto* list = new ListDataElement();
            out.Add(list);
            if (!ParseListAt(text, *list, true, pos, depth + 1)) return false;
            continue;
        }
        if (IsSeparator(c))
        {
            token = nullptr;
            continue;
        }
        append(c);
    }
    if (inSingle) return Error("Unterminated Single Quotes");
    if (inDouble) return Error("Unterminated Double Quotes");
    if (inList) return Error("Unterminated List");
    return true;
}

std::string DescParser::Unquote(const std::string& text)
{
    if (text.empty() || (text[0] != '\'' && text[0] != '"')) return text;
    char quote = text[0];
    std::string out;
    // The opening quote is dropped; inside, a doubled quote stands for one.
    for (size_t i = 1; i < text.size(); ++i)
    {
        if (text[i] != quote)
            out += text[i];
        else if (i >= 2 && text[i - 1] == quote)
            out += quote;
    }
    return out;
}

bool DescParser::Dereference(ListDataElement& source, ListDataElement& target)
{
    return DereferenceAt(source, target, 1);
}

bool DescParser::DereferenceAt(ListDataElement& source, ListDataElement& target, int depth)
{
    for (DataElement* element : source.mElements)
    {
        if (element->mIsList)
        {
            if (depth >= kMaxListDepth) return Error("Unexpected List Start");
            auto* list = new ListDataElement();
            target.Add(list);
            if (!DereferenceAt(*static_cast<ListDataElement*>(element), *list, depth + 1)) return false;
            continue;
        }
        const std::string& text = static_cast<SingleDataElement*>(element)->mValue;
        if (text.empty()) continue;
        if (text[0] == '\'' || text[0] == '"')
        {
            target.Add(new SingleDataElement(Unquote(text)));
        }
        else if (StartsLikeLiteral(text[0]))
        {
            target.Add(new SingleDataElement(text));
        }
        else
        {
            DataElement* value = FindDefine(text);
            if (!value) return Error("Unable to Dereference \"" + text + "\"");
            if (depth + Depth(value) > kMaxListDepth) return Error("Unexpected List Start");
            target.Add(value->Duplicate());
        }
    }
    return true;
}

bool DescParser::DataToString(DataElement* source, std::string& out)
{
    out.clear();
    if (!source || source->mIsList) return false;
    const std::string& text = static_cast<SingleDataElement*>(source)->mValue;
    if (DataElement* value = FindDefine(text))
    {
        if (value->mIsList) return false;
        out = Unquote(static_cast<SingleDataElement*>(value)->mValue);
        return true;
    }
    out = Unquote(text);
    return true;
}

bool DescParser::DataToList(DataElement* source, ListDataElement& out)
{
    if (!source) return false;
    if (source->mIsList) return Dereference(*static_cast<ListDataElement*>(source), out);
    DataElement* value = FindDefine(static_cast<SingleDataElement*>(source)->mValue);
    if (!value || !value->mIsList) return false;
    out = *static_cast<ListDataElement*>(value);
    return true;
}

bool DescParser::DataToStringVector(DataElement* source, std::vector<std::string>& out)
{
    out.clear();
    if (!source) return false;
    ListDataElement resolved;
    const ListDataElement* list = nullptr;
    if (!source->mIsList)
    {
        const std::string& text = static_cast<SingleDataElement*>(source)->mValue;
        DataElement* value = FindDefine(text);
        if (!value) return Error("Unable to Dereference \"" + text + "\"");
        if (!value->mIsList) return false;
        list = static_cast<ListDataElement*>(value);
    }
    else
    {
        if (!Dereference(*static_cast<ListDataElement*>(source), resolved)) return false;
        list = &resolved;
    }
    for (const DataElement* element : list->mElements)
    {
        if (element->mIsList)
        {
            out.clear();
            return false;
        }
        out.push_back(static_cast<const SingleDataElement*>(element)->mValue);
    }
    return true;
}

namespace
{

// Each text of a string vector through convert; the first that does not convert fails the call.
template <typename T, typename Convert>
bool ConvertAll(const std::vector<std::string>& texts, std::vector<T>& out, Convert convert)
{
    for (const std::string& text : texts)
    {
        T value{};
        if (!convert(text, value))
        {
            out.clear();
            return false;
        }
        out.push_back(value);
    }
    return true;
}

} // namespace

bool DescParser::DataToIntVector(DataElement* source, std::vector<int>& out)
{
    out.clear();
    std::vector<std::string> texts;
    return DataToStringVector(source, texts) &&
           ConvertAll(texts, out, [](const std::string& t, int& v) { return StringToInt(t, v); });
}

bool DescParser::DataToDoubleVector(DataElement* source, std::vector<double>& out)
{
    out.clear();
    std::vector<std::string> texts;
    return DataToStringVector(source, texts) &&
           ConvertAll(texts, out, [](const std::string& t, double& v) { return StringToDouble(t, v); });
}

std::string DescParser::DataElementToString(const DataElement* element)
{
    if (!element) return std::string();
    if (!element->mIsList) return static_cast<const SingleDataElement*>(element)->mValue;
    std::string out = "(";
    const auto& elements = static_cast<const ListDataElement*>(element)->mElements;
    for (size_t i = 0; i < elements.size(); ++i)
    {
        if (i) out += ", ";
        out += DataElementToString(elements[i]);
    }
    return out + ")";
}

} // namespace Kavo
