#include "base/XMLParser.h"

#include "base/PakFile.h"
#include "base/StringUtils.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace Kavo
{

namespace
{

bool IsSpace(uint16_t c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

char LowByte(uint16_t c)
{
    return char(uint8_t(c & 0xFF));
}

// Where the last "/" read outside quotes went; a ">" right after it closes the tag.
enum class SlashIn
{
    Nothing,
    Name,
    AttributeName,
    AttributeValue,
};

constexpr size_t kPiece = 64 * 1024;
// Bytes after the buffer's last that a 16-byte load starting at it may touch.
constexpr size_t kScanSlack = 16;
// Map entries kept from earlier elements to be filled again instead of allocated.
constexpr size_t kSpareAttributes = 64;

#ifdef __SSE2__
// The first byte from p on whose top bit is set in stops(the sixteen bytes from there), or end.
// Loads may read up to 15 bytes past end.
template <typename Stops>
[[gnu::always_inline]] inline const uint8_t* FirstStop(const uint8_t* p, const uint8_t* end, Stops stops)
{
    for (; p < end; p += 16)
    {
        unsigned mask =
            unsigned(_mm_movemask_epi8(stops(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)))));
        if (mask != 0)
        {
            p += __builtin_ctz(mask);
            return p < end ? p : end;
        }
    }
    return end;
}
#endif

// The first byte from p on that is not a plain character of a name, attribute or text: below
// 33 (white space and controls), '<', '>', '"', or from 0x80 (a UTF-8 sequence; the byte
// reader takes those one at a time). Loads may read up to 15 bytes past end.
[[gnu::always_inline]] inline const uint8_t* PlainRunEnd(const uint8_t* p, const uint8_t* end)
{
#ifdef __SSE2__
    const __m128i below = _mm_set1_epi8(33);
    const __m128i open = _mm_set1_epi8('<');
    const __m128i close = _mm_set1_epi8('>');
    const __m128i quote = _mm_set1_epi8('"');
    // Signed: the bytes from 0x80 compare below 33 too.
    return FirstStop(p, end,
                     [&](__m128i v)
                     {
                         return _mm_or_si128(
                             _mm_or_si128(_mm_cmplt_epi8(v, below), _mm_cmpeq_epi8(v, open)),
                             _mm_or_si128(_mm_cmpeq_epi8(v, close), _mm_cmpeq_epi8(v, quote)));
                     });
#else
    while (p < end && *p >= 33 && *p < 0x80 && *p != '<' && *p != '>' && *p != '"')
        ++p;
    return p;
#endif
}

// The first byte from p on that is `delimiter`, a carriage return, a line feed or from 0x80.
// Loads may read up to 15 bytes past end.
[[gnu::always_inline]] inline const uint8_t* QuotedRunEnd(const uint8_t* p, const uint8_t* end,
                                                          uint8_t delimiter)
{
#ifdef __SSE2__
    const __m128i delim = _mm_set1_epi8(char(delimiter));
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    // The bytes from 0x80 have their top bit set already.
    return FirstStop(p, end,
                     [&](__m128i v)
                     {
                         return _mm_or_si128(_mm_or_si128(v, _mm_cmpeq_epi8(v, delim)),
                                             _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
                     });
#else
    while (p < end && *p != delimiter && *p != '\r' && *p != '\n' && *p < 0x80)
        ++p;
    return p;
#endif
}

// A name that, pushed back as "</name>", reads as an end tag of the same name closing the
// element just opened: no white space, controls, quotes, angle brackets or slashes.
bool ReadsBackAsEndTag(const std::string& name)
{
    if (name.empty()) return false;
    for (char c : name)
    {
        uint8_t byte = uint8_t(c);
        if (byte < 33 || byte == '<' || byte == '>' || byte == '"' || byte == '/') return false;
    }
    return true;
}

} // namespace

struct XMLParser::Scan
{
    // An attribute name or value as it is read: bytes while every character fits one, wide
    // characters from the first that does not.
    class AttributeText
    {
    public:
        void Clear()
        {
            mNarrow.clear();
            mWide.clear();
            mIsWide = false;
        }
        bool Empty() const { return mIsWide ? mWide.empty() : mNarrow.empty(); }
        void Add(uint16_t c)
        {
            if (!mIsWide && c <= 0xFF)
            {
                mNarrow += char(uint8_t(c));
                return;
            }
            if (!mIsWide)
            {
                mWide = StringToWide(mNarrow);
                mIsWide = true;
            }
            mWide += wchar_t(c);
        }
        void Append(const uint8_t* begin, const uint8_t* end)
        {
            if (!mIsWide)
                mNarrow.append(reinterpret_cast<const char*>(begin), size_t(end - begin));
            else
                for (const uint8_t* p = begin; p < end; ++p)
                    mWide += wchar_t(*p);
        }
        void PopBack()
        {
            if (mIsWide)
                mWide.pop_back();
            else
                mNarrow.pop_back();
        }
        // The text with its entities decoded; empty when a character above 0xFF is left in it.
        void Decode(std::string& out) const
        {
            if (mIsWide)
                WideToStringInto(XMLDecodeStringWide(mWide), out);
            else
                XMLDecodeStringInto(mNarrow, out);
        }

    private:
        std::string mNarrow;
        std::wstring mWide;
        bool mIsWide = false;
    };

    std::string value;       // tag name, text or instruction target, low bytes
    std::string instruction; // instruction rest or comment text
    AttributeText attributeName, attributeValue;
    bool inQuote = false;
    bool pendingSpace = false;
    bool nameDone = false; // a start tag's name has ended; attributes follow
    bool gotEquals = false;
    bool hadQuotes = false;
    bool pastTarget = false; // an instruction's target has ended
    uint16_t previous = 0;
    SlashIn slash = SlashIn::Nothing;

    std::vector<std::map<std::string, std::string>::node_type> spare;

    void Start()
    {
        value.clear();
        instruction.clear();
        attributeName.Clear();
        attributeValue.Clear();
        inQuote = pendingSpace = nameDone = gotEquals = hadQuotes = pastTarget = false;
        previous = 0;
        slash = SlashIn::Nothing;
    }

    // Empties the map, keeping some of its entries for the next element.
    void Recycle(std::map<std::string, std::string>& attributes)
    {
        while (!attributes.empty() && spare.size() < kSpareAttributes)
            spare.push_back(attributes.extract(attributes.begin()));
        attributes.clear();
    }

    void AppendText(uint16_t c)
    {
        if (pendingSpace) value += ' ';
        value += LowByte(c);
        pendingSpace = false;
    }
    void AppendText(const uint8_t* begin, const uint8_t* end)
    {
        if (pendingSpace) value += ' ';
        value.append(reinterpret_cast<const char*>(begin), size_t(end - begin));
        pendingSpace = false;
    }
};

XMLParser::XMLParser() : mScan(std::make_unique<Scan>()) {}

XMLParser::~XMLParser()
{
    Close();
}

void XMLParser::Close()
{
    if (mFile) PakFClose(mFile);
    mFile = nullptr;
    mBufferPos = mBufferEnd = 0;
}

void XMLParser::Init()
{
    mSection.clear();
    mLineNum = 1;
    mHasFailed = false;
    mErrorText.clear();
    mFirstChar = true;
    mByteSwap = false;
    mIllegalCharacter = false;
    mInputEnded = false;
    mPushBack.clear();
    mPendingOpen = false;
    mPendingEnd = false;
}

void XMLParser::Fail(const std::string& errorText)
{
    mHasFailed = true;
    mErrorText = errorText;
}

bool XMLParser::OpenFile(const std::string& fileName)
{
    Close();
    mPushBack.clear();
    mPendingOpen = mPendingEnd = false;
    mFile = PakFOpen(fileName.c_str(), "r");
    if (!mFile)
    {
        mLineNum = 0;
        Fail("Unable to open file " + fileName);
        return false;
    }
    if (!mNoEncodingDetection)
    {
        uint8_t head[3] = {};
        size_t got = PakFRead(head, 1, sizeof head, mFile);
        mReader = Reader::Byte;
        if (got >= 2 && ((head[0] == 0xFF && head[1] == 0xFE) || (head[0] == 0xFE && head[1] == 0xFF)))
            mReader = Reader::UTF16;
        else if (got >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF)
            mReader = Reader::UTF8;
        // The reader consumes the byte-order mark itself.
        PakFSeek(mFile, 0, kPakSeekSet);
    }
    mBufferPos = mBufferEnd = 0;
    mFileName = fileName;
    Init();
    return true;
}

bool XMLParser::AddAttribute(XMLElement& element, const std::string& name, const std::string& value)
{
    bool inserted = element.attributes.insert_or_assign(name, value).second;
    if (name != "/") element.attributeOrder.push_back(name);
    return inserted;
}

void XMLParser::StoreAttribute(Scan& scan, XMLElement& element)
{
    if (!scan.attributeName.Empty() || !scan.attributeValue.Empty() || scan.gotEquals || scan.hadQuotes)
    {
        // An entry of an earlier element is filled again rather than allocated.
        std::map<std::string, std::string>::node_type node;
        if (scan.spare.empty())
        {
            std::map<std::string, std::string> one{{std::string(), std::string()}};
            node = one.extract(one.begin());
        }
        else
        {
            node = std::move(scan.spare.back());
            scan.spare.pop_back();
        }
        scan.attributeName.Decode(node.key());
        scan.attributeValue.Decode(node.mapped());
        if (node.key() != "/") element.attributeOrder.push_back(node.key());
        auto result = element.attributes.insert(std::move(node));
        if (!result.inserted)
        {
            result.position->second = result.node.mapped();
            scan.spare.push_back(std::move(result.node));
        }
    }
    scan.attributeName.Clear();
    scan.attributeValue.Clear();
    scan.gotEquals = false;
    scan.hadQuotes = false;
}

// White space seen before the next attribute character ends the attribute before it.
void XMLParser::AttributeBoundary(Scan& scan, XMLElement& element, uint16_t c)
{
    if (!scan.pendingSpace) return;
    if (!scan.attributeValue.Empty() || scan.hadQuotes)
        StoreAttribute(scan, element);
    else if (!scan.gotEquals && !scan.attributeName.Empty() && c != '=')
        StoreAttribute(scan, element); // a name without "=" before the next name
}

bool XMLParser::FillBuffer()
{
    if (mBuffer.size() < kPiece + kScanSlack) mBuffer.resize(kPiece + kScanSlack);
    mBufferPos = 0;
    mBufferEnd = PakFRead(mBuffer.data(), 1, kPiece, mFile);
    return mBufferEnd > 0;
}

int XMLParser::NextByte(bool text)
{
    for (;;)
    {
        if (mBufferPos == mBufferEnd && !FillBuffer()) return -1;
        uint8_t byte = mBuffer[mBufferPos++];
        if (text && byte == '\r') continue;
        return byte;
    }
}

bool XMLParser::ReadRawByte(uint8_t& byte)
{
    int next = NextByte(false);
    if (next < 0) return false;
    byte = uint8_t(next);
    return true;
}

bool XMLParser::GetByteChar(uint16_t& c)
{
    int byte = NextByte(true);
    if (byte < 0) return false;
    c = uint16_t(byte);
    return true;
}

bool XMLParser::GetUTF8Char(uint16_t& c)
{
    for (;;)
    {
        int lead = NextByte(true);
        if (lead < 0) return false;
        int length;
        uint32_t value;
        if (lead < 0x80)
        {
            length = 1;
            value = uint32_t(lead);
        }
        else if ((lead & 0xE0) == 0xC0)
        {
            length = 2;
            value = uint32_t(lead & 0x1F);
        }
        else if ((lead & 0xF0) == 0xE0)
        {
            length = 3;
            value = uint32_t(lead & 0x0F);
        }
        else if ((lead & 0xF8) == 0xF0)
        {
            length = 4;
            value = uint32_t(lead & 0x07);
        }
        else if ((lead & 0xFC) == 0xF8)
        {
            length = 5;
            value = uint32_t(lead & 0x03);
        }
        else if ((lead & 0xFE) == 0xFC)
        {
            length = 6;
            value = uint32_t(lead & 0x01);
        }
        else
        {
            mIllegalCharacter = true; // a continuation byte first, or 0xFE / 0xFF
            return false;
        }

        int second = 0;
        for (int i = 1; i < length; ++i)
        {
            int next = NextByte(true);
            if (next < 0) return false; // cut short by the end of the file
            if ((next & 0xC0) != 0x80)
            {
                mIllegalCharacter = true;
                return false;
            }
            if (i == 1) second = next;
            value = (value << 6) | uint32_t(next & 0x3F);
        }

        // Overlong forms: the value would fit a shorter sequence.
        static constexpr int kLeadMask[7] = {0, 0, 0x1E, 0x1F, 0x0F, 0x07, 0x03};
        static constexpr int kSecondMask[7] = {0, 0, 0, 0x20, 0x30, 0x38, 0x3C};
        if (length >= 2 && (lead & kLeadMask[length]) == 0 && (second & kSecondMask[length]) == 0)
        {
            mIllegalCharacter = true;
            return false;
        }
        if ((value >= 0xD800 && value <= 0xDFFF) || value == 0xFFFE || value == 0xFFFF)
        {
            mIllegalCharacter = true;
            return false;
        }
        if (mFirstChar)
        {
            mFirstChar = false;
            if (value == 0xFEFF) continue; // the byte-order mark
        }
        c = uint16_t(value);
        return true;
    }
}

bool XMLParser::GetUTF16Char(uint16_t& c)
{
    // Bytes are read raw: a text-mode read would drop a 13 that is half of a character.
    auto readUnit = [this](uint16_t& unit)
    {
        uint8_t low, high;
        if (!ReadRawByte(low) || !ReadRawByte(high)) return false; // an odd last byte is the end
        unit = uint16_t(low | high << 8);
        if (mByteSwap) unit = uint16_t(unit << 8 | unit >> 8);
        return true;
    };
    uint16_t unit;
    for (;;)
    {
        if (!readUnit(unit)) return false;
        if (!mFirstChar) break;
        mFirstChar = false;
        if (unit == 0xFEFF) continue;
        if (unit == 0xFFFE)
        {
            mByteSwap = true;
            continue;
        }
        break;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF)
    {
        uint16_t low;
        if (!readUnit(low) || low < 0xDC00 || low > 0xDFFF) return false;
        unit = uint16_t(unit << 10 | (low & 0x3FF));
    }
    c = unit;
    return true;
}

bool XMLParser::GetChar(uint16_t& c)
{
    if (!mPushBack.empty())
    {
        c = mPushBack.back();
        mPushBack.pop_back();
    }
    else
    {
        if (!mFile || mInputEnded) return false;
        bool got = false;
        switch (mReader)
        {
        case Reader::Byte:
            got = GetByteChar(c);
            break;
        case Reader::UTF8:
            got = GetUTF8Char(c);
            break;
        case Reader::UTF16:
            got = GetUTF16Char(c);
            break;
        }
        if (!got)
        {
            // Whatever stopped the reader (the end, bad input or a broken UTF-16 pair), nothing
            // after it is read.
            mInputEnded = true;
            return false;
        }
    }
    if (c == '\n') ++mLineNum;
    return true;
}

void XMLParser::PushBack(const std::string& text)
{
    for (auto it = text.rbegin(); it != text.rend(); ++it)
        mPushBack.push_back(uint8_t(*it));
}

XMLParser::Step XMLParser::FailElement(Scan& scan, XMLElement& element, const std::string& errorText)
{
    Fail(errorText);
    element.value = scan.value;
    element.instruction = scan.instruction;
    return Step::Failed;
}

void XMLParser::TakeQuoteInTag(Scan& scan, XMLElement& element)
{
    if (!scan.nameDone && scan.pendingSpace) scan.nameDone = true;
    if (scan.nameDone)
    {
        AttributeBoundary(scan, element, '"');
        scan.hadQuotes = true;
    }
    scan.pendingSpace = false;
    scan.slash = SlashIn::Nothing;
}

XMLParser::Step XMLParser::CloseStartTag(Scan& scan, XMLElement& element)
{
    switch (scan.slash)
    {
    case SlashIn::Name:
        scan.value.pop_back();
        break;
    case SlashIn::AttributeName:
        scan.attributeName.PopBack();
        break;
    case SlashIn::AttributeValue:
        scan.attributeValue.PopBack();
        break;
    case SlashIn::Nothing:
        break;
    }
    StoreAttribute(scan, element);
    if (scan.slash != SlashIn::Nothing)
    {
        if (mFastScan && mPushBack.empty() && ReadsBackAsEndTag(scan.value))
            mPendingEnd = true;
        else
            PushBack("</" + scan.value + ">");
    }
    if (!mSection.empty()) mSection += '/';
    mSection += scan.value;
    return Step::Complete;
}

XMLParser::Step XMLParser::CloseEndTag(Scan& scan, XMLElement& element)
{
    if (mSection.empty()) return FailElement(scan, element, "Unexpected End");
    size_t cut = mSection.rfind('/');
    size_t open = cut == std::string::npos ? 0 : cut + 1;
    if (mSection.compare(open, std::string::npos, scan.value) != 0)
        return FailElement(scan, element,
                           "End '" + scan.value + "' Doesn't Match Start '" + mSection.substr(open) + "'");
    mSection.resize(cut == std::string::npos ? 0 : cut);
    return Step::Complete;
}

XMLParser::Step XMLParser::TakeChar(Scan& scan, XMLElement& element, uint16_t c)
{
    uint16_t before = scan.previous;
    scan.previous = c;

    if (element.type == XMLElement::TYPE_COMMENT)
    {
        if (c == '>' && scan.instruction.size() >= 2 && scan.instruction.ends_with("--"))
        {
            scan.instruction.resize(scan.instruction.size() - 2);
            return Step::Complete;
        }
        scan.instruction += LowByte(c);
        return Step::Continue;
    }
    if (element.type == XMLElement::TYPE_INSTRUCTION)
    {
        std::string& target = scan.pastTarget ? scan.instruction : scan.value;
        if (c == '>' && before == '?' && !target.empty())
        {
            target.pop_back();
            return Step::Complete;
        }
        if (!scan.pastTarget && IsSpace(c))
        {
            scan.pastTarget = true;
            scan.instruction += LowByte(c);
            return Step::Continue;
        }
        target += LowByte(c);
        return Step::Continue;
    }

    if (c == '"')
    {
        scan.inQuote = !scan.inQuote;
        if (element.type == XMLElement::TYPE_NONE) element.type = XMLElement::TYPE_ELEMENT;
        if (element.type == XMLElement::TYPE_ELEMENT)
            scan.AppendText(c);
        else if (element.type == XMLElement::TYPE_START)
            TakeQuoteInTag(scan, element);
        return Step::Continue;
    }

    if (!scan.inQuote)
    {
        if (c == '<')
        {
            if (element.type == XMLElement::TYPE_ELEMENT)
            {
                if (mFastScan && mPushBack.empty())
                    mPendingOpen = true;
                else
                    mPushBack.push_back(c);
                return Step::Complete;
            }
            if (element.type == XMLElement::TYPE_NONE)
            {
                element.type = XMLElement::TYPE_START;
                return Step::Continue;
            }
            return FailElement(scan, element, "Unexpected '<'");
        }
        if (c == '>')
        {
            if (element.type == XMLElement::TYPE_START) return CloseStartTag(scan, element);
            if (element.type == XMLElement::TYPE_END) return CloseEndTag(scan, element);
            return FailElement(scan, element, "Unexpected '>'");
        }
        if (element.type == XMLElement::TYPE_START && scan.value.empty() && !scan.nameDone)
        {
            if (c == '/')
            {
                element.type = XMLElement::TYPE_END;
                return Step::Continue;
            }
            if (c == '?')
            {
                element.type = XMLElement::TYPE_INSTRUCTION;
                return Step::Continue;
            }
        }
        if (IsSpace(c))
        {
            if (element.type == XMLElement::TYPE_START && !scan.nameDone && scan.value == "!--")
                element.type = XMLElement::TYPE_COMMENT;
            else if (!scan.value.empty())
                scan.pendingSpace = true;
            return Step::Continue;
        }
        if (c < 33) return FailElement(scan, element, "Illegal Character");
    }

    // An ordinary character.
    switch (element.type)
    {
    case XMLElement::TYPE_NONE:
        element.type = XMLElement::TYPE_ELEMENT;
        scan.AppendText(c);
        break;
    case XMLElement::TYPE_ELEMENT:
    case XMLElement::TYPE_END:
        scan.AppendText(c);
        break;
    case XMLElement::TYPE_START:
        if (!scan.nameDone && !scan.pendingSpace)
        {
            scan.value += LowByte(c);
            scan.slash = (c == '/' && !scan.inQuote) ? SlashIn::Name : SlashIn::Nothing;
            break;
        }
        scan.nameDone = true;
        AttributeBoundary(scan, element, c);
        scan.pendingSpace = false;
        if (c == '=' && !scan.gotEquals && !scan.inQuote)
        {
            scan.gotEquals = true;
            scan.slash = SlashIn::Nothing;
        }
        else if (!scan.gotEquals)
        {
            scan.attributeName.Add(c);
            scan.slash = (c == '/' && !scan.inQuote) ? SlashIn::AttributeName : SlashIn::Nothing;
        }
        else
        {
            scan.attributeValue.Add(c);
            scan.slash = (c == '/' && !scan.inQuote) ? SlashIn::AttributeValue : SlashIn::Nothing;
        }
        break;
    default:
        break;
    }
    return Step::Continue;
}

bool XMLParser::CanTakeRun(const XMLElement& element) const
{
    return mFastScan && mBufferPos < mBufferEnd && mPushBack.empty() && !mInputEnded && mFile &&
           (mReader == Reader::Byte || (mReader == Reader::UTF8 && !mFirstChar)) &&
           element.type != XMLElement::TYPE_INSTRUCTION;
}

// Each state's plain characters, taken as the one-character rule would take them one by one:
// runs end at buffer ends and at every character whose rule is not plain (which goes to
// TakeChar). Carriage returns are dropped and line feeds counted as GetChar does.
XMLParser::Step XMLParser::TakeRun(Scan& scan, XMLElement& element)
{
    const uint8_t* const begin = mBuffer.data() + mBufferPos;
    const uint8_t* const end = mBuffer.data() + mBufferEnd;
    const bool bytes = mReader == Reader::Byte;
    const uint8_t* p = begin;

    // The byte reader takes bytes from 0x80 as plain characters; UTF-8 leaves them to GetChar.
    auto plainRunEnd = [&](const uint8_t* from)
    {
        const uint8_t* q = PlainRunEnd(from, end);
        while (bytes && q < end && *q >= 0x80)
            q = PlainRunEnd(q + 1, end);
        return q;
    };
    // Skips white space; true when a character other than a carriage return was among it.
    auto skipSpace = [&]
    {
        bool seen = false;
        for (; p < end; ++p)
        {
            uint8_t b = *p;
            if (b == '\r') continue;
            if (b != ' ' && (b < '\t' || b > '\f')) break;
            seen = true;
            if (b == '\n') ++mLineNum;
        }
        return seen;
    };
    // Every character up to the delimiter is ordinary (inside quotes, in a comment).
    auto quotedRun = [&](uint8_t delimiter, auto&& take)
    {
        for (;;)
        {
            const uint8_t* q = QuotedRunEnd(p, end, delimiter);
            if (q != p) take(p, q);
            p = q;
            if (p == end) return;
            uint8_t b = *p;
            if (b == '\r')
                ++p;
            else if (b == '\n' || (b >= 0x80 && bytes))
            {
                if (b == '\n') ++mLineNum;
                take(p, p + 1);
                ++p;
            }
            else
                return; // the delimiter, or a UTF-8 sequence
        }
    };

    auto text = [&]
    {
        const bool isText = element.type == XMLElement::TYPE_ELEMENT;
        if (scan.inQuote)
        {
            quotedRun('"', [&](const uint8_t* from, const uint8_t* to) { scan.AppendText(from, to); });
            if (p == end || *p != '"') return Step::OneCharacter;
            ++p;
            scan.inQuote = false;
            if (isText) scan.AppendText('"');
            return Step::Continue;
        }
        for (;;)
        {
            const uint8_t* q = plainRunEnd(p);
            if (q != p)
            {
                scan.AppendText(p, q);
                p = q;
            }
            if (p == end) return Step::Continue;
            uint8_t b = *p;
            if (IsSpace(b))
            {
                if (skipSpace() && !scan.value.empty()) scan.pendingSpace = true;
                continue;
            }
            if (b == '<' && isText)
            {
                ++p;
                mPendingOpen = true;
                return Step::Complete;
            }
            if (b == '>' && !isText)
            {
                ++p;
                return CloseEndTag(scan, element);
            }
            if (b == '"')
            {
                ++p;
                scan.inQuote = true;
                if (isText) scan.AppendText('"');
                return Step::Continue;
            }
            return Step::OneCharacter;
        }
    };

    auto startTag = [&]
    {
        if (scan.inQuote)
        {
            if (!scan.nameDone) return Step::OneCharacter; // quotes inside the name
            Scan::AttributeText& target = scan.gotEquals ? scan.attributeValue : scan.attributeName;
            quotedRun('"', [&](const uint8_t* from, const uint8_t* to) { target.Append(from, to); });
            if (p == end || *p != '"') return Step::OneCharacter;
            ++p;
            scan.inQuote = false;
            TakeQuoteInTag(scan, element);
            return Step::Continue;
        }
        for (;;)
        {
            if (p == end) return Step::Continue;
            const uint8_t b = *p;
            const uint8_t* q = plainRunEnd(p);
            if (q != p)
            {
                if (!scan.nameDone && !scan.pendingSpace)
                {
                    if (scan.value.empty() && (b == '/' || b == '?')) return Step::OneCharacter;
                    scan.value.append(reinterpret_cast<const char*>(p), size_t(q - p));
                    scan.slash = q[-1] == '/' ? SlashIn::Name : SlashIn::Nothing;
                }
                else
                {
                    scan.nameDone = true;
                    AttributeBoundary(scan, element, b);
                    scan.pendingSpace = false;
                    const uint8_t* from = p;
                    if (!scan.gotEquals)
                    {
                        const uint8_t* equals = p;
                        while (equals < q && *equals != '=')
                            ++equals;
                        if (equals == q)
                        {
                            scan.attributeName.Append(p, q);
                            scan.slash = q[-1] == '/' ? SlashIn::AttributeName : SlashIn::Nothing;
                            from = q;
                        }
                        else
                        {
                            scan.attributeName.Append(p, equals);
                            scan.gotEquals = true;
                            scan.slash = SlashIn::Nothing;
                            from = equals + 1;
                        }
                    }
                    if (from < q)
                    {
                        scan.attributeValue.Append(from, q);
                        scan.slash = q[-1] == '/' ? SlashIn::AttributeValue : SlashIn::Nothing;
                    }
                }
                p = q;
                continue;
            }
            if (IsSpace(b))
            {
                if (!scan.nameDone && scan.value == "!--") return Step::OneCharacter; // a comment begins
                if (skipSpace() && !scan.value.empty()) scan.pendingSpace = true;
                continue;
            }
            if (b == '"')
            {
                ++p;
                scan.inQuote = true;
                TakeQuoteInTag(scan, element);
                return Step::Continue;
            }
            if (b == '>')
            {
                ++p;
                return CloseStartTag(scan, element);
            }
            return Step::OneCharacter;
        }
    };

    auto comment = [&]
    {
        for (;;)
        {
            quotedRun('>', [&](const uint8_t* from, const uint8_t* to)
                      { scan.instruction.append(reinterpret_cast<const char*>(from), size_t(to - from)); });
            if (p == end || *p != '>') return Step::OneCharacter;
            ++p;
            if (scan.instruction.size() >= 2 && scan.instruction.ends_with("--"))
            {
                scan.instruction.resize(scan.instruction.size() - 2);
                return Step::Complete;
            }
            scan.instruction += '>';
        }
    };

    Step step = Step::OneCharacter;
    switch (element.type)
    {
    case XMLElement::TYPE_NONE:
        skipSpace();
        if (p < end && *p == '<')
        {
            ++p;
            element.type = XMLElement::TYPE_START;
            step = Step::Continue;
        }
        break;
    case XMLElement::TYPE_ELEMENT:
    case XMLElement::TYPE_END:
        step = text();
        break;
    case XMLElement::TYPE_START:
        step = startTag();
        break;
    case XMLElement::TYPE_COMMENT:
        step = comment();
        break;
    default:
        break;
    }
    mBufferPos = size_t(p - mBuffer.data());
    return step;
}

bool XMLParser::NextElement(XMLElement& element)
{
    Scan& scan = *mScan;
    for (;;)
    {
        element.type = XMLElement::TYPE_NONE;
        element.section = mSection;
        element.value.clear();
        element.instruction.clear();
        scan.Recycle(element.attributes);
        element.attributeOrder.clear();
        if (mHasFailed) return false;
        scan.Start();

        if (mPendingEnd)
        {
            // What reading "</name>" back would give.
            mPendingEnd = false;
            element.type = XMLElement::TYPE_END;
            size_t cut = mSection.rfind('/');
            scan.value.assign(mSection, cut == std::string::npos ? 0 : cut + 1);
            XMLDecodeStringInto(scan.value, element.value);
            mSection.resize(cut == std::string::npos ? 0 : cut);
            return true;
        }
        if (mPendingOpen)
        {
            mPendingOpen = false;
            element.type = XMLElement::TYPE_START;
            scan.previous = '<';
        }

        Step step = Step::Continue;
        while (step == Step::Continue)
        {
            if (CanTakeRun(element))
            {
                step = TakeRun(scan, element);
                if (step != Step::OneCharacter) continue;
            }
            uint16_t c;
            if (!GetChar(c))
            {
                if (mIllegalCharacter) Fail("Illegal Character");
                if (element.type != XMLElement::TYPE_NONE) Fail("Unexpected End of File");
                element.value = scan.value;
                element.instruction = scan.instruction;
                return false;
            }
            step = TakeChar(scan, element, c);
        }
        if (step == Step::Failed) return false;

        XMLDecodeStringInto(scan.value, element.value);
        element.instruction = scan.instruction;
        if (element.type == XMLElement::TYPE_COMMENT && !mAllowComments) continue;
        return true;
    }
}

} // namespace Kavo
