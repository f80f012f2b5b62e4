#pragma once

#include "base/PakInterfaceBase.h"
#include "base/XMLElement.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Kavo
{

// A small pull reader for the program's XML data files, read through the archive wrappers
// (app/PakFile.h). Each NextElement call returns one start tag, end tag, text run,
// processing instruction or (when allowed) comment. It knows no document type declarations,
// CDATA sections or character references, and stops for good at the first error with one
// of the texts "Unable to open file <name>", "Illegal Character", "Unexpected End of File",
// "Unexpected '<'", "Unexpected '>'", "Unexpected End" or
// "End '<end>' Doesn't Match Start '<start>'", and the line it happened on.
//
// Encodings: a file starting with FF FE or FE FF is UTF-16 (little- or big-endian), with
// EF BB BF UTF-8; any other file is read one byte per character (so Windows-1252 text
// arrives unchanged). Text and tag names keep the low byte of each character; attribute
// names and values keep characters up to 0xFF as one byte, and a value holding a character
// above 0xFF becomes empty. A white-space character is one of tab, line feed, vertical
// tab, form feed, carriage return and space, whatever the C locale.
class XMLParser
{
public:
    XMLParser();
    virtual ~XMLParser();
    XMLParser(const XMLParser&) = delete;
    XMLParser& operator=(const XMLParser&) = delete;

    // Opens a file (closing one already open) and picks its encoding. On failure the
    // parser has failed with "Unable to open file " + the name.
    bool OpenFile(const std::string& fileName);
    // The next element; false at the end of the input or after an error (HasFailed tells
    // which). Once it has returned false it keeps doing so.
    bool NextElement(XMLElement& element);

    bool HasFailed() const { return mHasFailed; }
    std::string GetErrorText() const { return mErrorText; }
    // Line feeds read so far plus one (0 before a file is open).
    int GetCurrentLineNum() const { return mLineNum; }
    std::string GetFileName() const { return mFileName; }
    // Fails the parse with a text of the caller's (a later failure replaces it).
    void Fail(const std::string& errorText);

    // Comments are skipped unless allowed.
    void AllowComments(bool allow) { mAllowComments = allow; }
    // With detection off, OpenFile keeps the current reader: UTF-8 unless a file opened
    // earlier chose another.
    void SetEncodingDetection(bool detect) { mNoEncodingDetection = !detect; }

    // Inserts or replaces an attribute; false when the name was already there. Every name
    // but "/" is appended to the attribute order.
    bool AddAttribute(XMLElement& element, const std::string& name, const std::string& value);

    // Runs of plain characters are taken straight from the file's buffer (the default); off,
    // every character takes the one-character rule, the reference the runs are tested against.
    void SetFastScanning(bool fast) { mFastScan = fast; }

protected:
    void Init();

private:
    struct Scan; // the element being read, and storage kept from one element to the next
    enum class Step
    {
        Continue,
        Complete,
        Failed,
        OneCharacter, // (a run) the next character needs the one-character rule
    };
    // The one-character rule: what character c does to the element being read.
    Step TakeChar(Scan& scan, XMLElement& element, uint16_t c);
    // Takes a run of characters straight from the buffer while the rule for each is plain.
    Step TakeRun(Scan& scan, XMLElement& element);
    bool CanTakeRun(const XMLElement& element) const;
    void TakeQuoteInTag(Scan& scan, XMLElement& element);
    Step CloseStartTag(Scan& scan, XMLElement& element);
    Step CloseEndTag(Scan& scan, XMLElement& element);
    Step FailElement(Scan& scan, XMLElement& element, const std::string& errorText);
    void StoreAttribute(Scan& scan, XMLElement& element);
    void AttributeBoundary(Scan& scan, XMLElement& element, uint16_t c);

    enum class Reader
    {
        Byte,
        UTF8,
        UTF16,
    };
    // Each reads one character; false at the end of the input or on bad input (which sets
    // mIllegalCharacter).
    bool GetByteChar(uint16_t& c);
    bool GetUTF8Char(uint16_t& c);
    bool GetUTF16Char(uint16_t& c);
    bool GetChar(uint16_t& c);
    bool ReadRawByte(uint8_t& byte);
    // The next byte of the file, -1 at its end; a text read skips carriage returns, as the
    // archive's text mode does.
    int NextByte(bool text);
    bool FillBuffer();
    void PushBack(const std::string& text);
    void Close();

    std::string mFileName;
    std::string mErrorText;
    int mLineNum = 0;
    PakFileHandle* mFile = nullptr;
    // The file is read in large pieces: one archive call a piece rather than a byte.
    std::vector<uint8_t> mBuffer;
    size_t mBufferPos = 0;
    size_t mBufferEnd = 0;
    bool mHasFailed = false;
    bool mAllowComments = false;
    std::vector<uint16_t> mPushBack; // read before the file, last pushed first
    std::string mSection;
    Reader mReader = Reader::UTF8;
    bool mNoEncodingDetection = false;
    bool mFirstChar = true;
    bool mByteSwap = false;
    bool mIllegalCharacter = false;
    bool mInputEnded = false; // the reader has stopped for good
    bool mFastScan = true;
    // Stand-ins for the most common pushed-back text: the '<' that ended a text run, and the
    // end tag of an element closed by "/>" whose name reads back unchanged.
    bool mPendingOpen = false;
    bool mPendingEnd = false;
    std::unique_ptr<Scan> mScan;
};

} // namespace Kavo
