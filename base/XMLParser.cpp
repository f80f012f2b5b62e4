#include "base/XMLParser.h"

#include "base/PakFile.h"
#include "base/StringUtils.h"

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

} // namespace

XMLParser::XMLParser() = default;

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

bool XMLParser::FillBuffer()
{
    constexpr size_t kPiece = 64 * 1024;
    if (mBuffer.size() < kPiece) mBuffer.resize(kPiece);
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

bool XMLParser::NextElement(XMLElement& element)
{
    for (;;)
    {
        element.type = XMLElement::TYPE_NONE;
        element.section = mSection;
        element.value.clear();
        element.instruction.clear();
        element.attributes.clear();
        element.attributeOrder.clear();
        if (mHasFailed) return false;

        std::string value;       // tag name, text or instruction target, low bytes
        std::string instruction; // instruction rest or comment text
        std::wstring attributeName, attributeValue;
        bool inQuote = false;
        bool pendingSpace = false;
        bool nameDone = false; // a start tag's name has ended; attributes follow
        bool gotEquals = false;
        bool hadQuotes = false;
        bool pastTarget = false; // an instruction's target has ended
        uint16_t previous = 0;
        SlashIn slash = SlashIn::Nothing;

        auto storeAttribute = [&]
        {
            if (!attributeName.empty() || !attributeValue.empty() || gotEquals || hadQuotes)
                AddAttribute(element, WideToString(XMLDecodeStringWide(attributeName)),
                             WideToString(XMLDecodeStringWide(attributeValue)));
            attributeName.clear();
            attributeValue.clear();
            gotEquals = false;
            hadQuotes = false;
        };
        // White space seen before the next attribute character ends the attribute before it.
        auto attributeBoundary = [&](uint16_t c)
        {
            if (!pendingSpace) return;
            if (!attributeValue.empty() || hadQuotes)
                storeAttribute();
            else if (!gotEquals && !attributeName.empty() && c != '=')
                storeAttribute(); // a name without "=" before the next name
        };
        auto appendText = [&](uint16_t c)
        {
            if (pendingSpace) value += ' ';
            value += LowByte(c);
            pendingSpace = false;
        };
        auto fail = [&](const std::string& text)
        {
            Fail(text);
            element.value = value;
            element.instruction = instruction;
            return false;
        };

        bool complete = false;
        while (!complete)
        {
            uint16_t c;
            if (!GetChar(c))
            {
                if (mIllegalCharacter) Fail("Illegal Character");
                if (element.type != XMLElement::TYPE_NONE) Fail("Unexpected End of File");
                element.value = value;
                element.instruction = instruction;
                return false;
            }
            uint16_t before = previous;
            previous = c;

            if (element.type == XMLElement::TYPE_COMMENT)
            {
                if (c == '>' && instruction.size() >= 2 && instruction.ends_with("--"))
                {
                    instruction.resize(instruction.size() - 2);
                    complete = true;
                }
                else
                    instruction += LowByte(c);
                continue;
            }
            if (element.type == XMLElement::TYPE_INSTRUCTION)
            {
                std::string& target = pastTarget ? instruction : value;
                if (c == '>' && before == '?' && !target.empty())
                {
                    target.pop_back();
                    complete = true;
                    continue;
                }
                if (!pastTarget && IsSpace(c))
                {
                    pastTarget = true;
                    instruction += LowByte(c);
                    continue;
                }
                target += LowByte(c);
                continue;
            }

            if (c == '"')
            {
                inQuote = !inQuote;
                if (element.type == XMLElement::TYPE_NONE) element.type = XMLElement::TYPE_ELEMENT;
                if (element.type == XMLElement::TYPE_ELEMENT)
                    appendText(c);
                else if (element.type == XMLElement::TYPE_START)
                {
                    if (!nameDone && pendingSpace) nameDone = true;
                    if (nameDone)
                    {
                        attributeBoundary(c);
                        hadQuotes = true;
                    }
                    pendingSpace = false;
                    slash = SlashIn::Nothing;
                }
                continue;
            }

            if (!inQuote)
            {
                if (c == '<')
                {
                    if (element.type == XMLElement::TYPE_ELEMENT)
                    {
                        mPushBack.push_back(c);
                        complete = true;
                        continue;
                    }
                    if (element.type == XMLElement::TYPE_NONE)
                    {
                        element.type = XMLElement::TYPE_START;
                        continue;
                    }
                    return fail("Unexpected '<'");
                }
                if (c == '>')
                {
                    if (element.type == XMLElement::TYPE_START)
                    {
                        switch (slash)
                        {
                        case SlashIn::Name:
                            value.pop_back();
                            break;
                        case SlashIn::AttributeName:
                            attributeName.pop_back();
                            break;
                        case SlashIn::AttributeValue:
                            attributeValue.pop_back();
                            break;
                        case SlashIn::Nothing:
                            break;
                        }
                        storeAttribute();
                        if (slash != SlashIn::Nothing) PushBack("</" + value + ">");
                        if (!mSection.empty()) mSection += '/';
                        mSection += value;
                        complete = true;
                        continue;
                    }
                    if (element.type == XMLElement::TYPE_END)
                    {
                        if (mSection.empty()) return fail("Unexpected End");
                        size_t cut = mSection.rfind('/');
                        std::string open = cut == std::string::npos ? mSection : mSection.substr(cut + 1);
                        if (open != value)
                        {
                            return fail("End '" + value + "' Doesn't Match Start '" + open + "'");
                        }
                        mSection.resize(cut == std::string::npos ? 0 : cut);
                        complete = true;
                        continue;
                    }
                    return fail("Unexpected '>'");
                }
                if (element.type == XMLElement::TYPE_START && value.empty() && !nameDone)
                {
                    if (c == '/')
                    {
                        element.type = XMLElement::TYPE_END;
                        continue;
                    }
                    if (c == '?')
                    {
                        element.type = XMLElement::TYPE_INSTRUCTION;
                        continue;
                    }
                }
                if (IsSpace(c))
                {
                    if (element.type == XMLElement::TYPE_START && !nameDone && value == "!--")
                        element.type = XMLElement::TYPE_COMMENT;
                    else if (!value.empty())
                        pendingSpace = true;
                    continue;
                }
                if (c < 33) return fail("Illegal Character");
            }

            // An ordinary character.
            switch (element.type)
            {
            case XMLElement::TYPE_NONE:
                element.type = XMLElement::TYPE_ELEMENT;
                appendText(c);
                break;
            case XMLElement::TYPE_ELEMENT:
            case XMLElement::TYPE_END:
                appendText(c);
                break;
            case XMLElement::TYPE_START:
                if (!nameDone && !pendingSpace)
                {
                    value += LowByte(c);
                    slash = (c == '/' && !inQuote) ? SlashIn::Name : SlashIn::Nothing;
                    break;
                }
                nameDone = true;
                attributeBoundary(c);
                pendingSpace = false;
                if (c == '=' && !gotEquals && !inQuote)
                {
                    gotEquals = true;
                    slash = SlashIn::Nothing;
                }
                else if (!gotEquals)
                {
                    attributeName += wchar_t(c);
                    slash = (c == '/' && !inQuote) ? SlashIn::AttributeName : SlashIn::Nothing;
                }
                else
                {
                    attributeValue += wchar_t(c);
                    slash = (c == '/' && !inQuote) ? SlashIn::AttributeValue : SlashIn::Nothing;
                }
                break;
            default:
                break;
            }
        }

        element.value = XMLDecodeString(value);
        element.instruction = instruction;
        if (element.type == XMLElement::TYPE_COMMENT && !mAllowComments) continue;
        return true;
    }
}

} // namespace Kavo
