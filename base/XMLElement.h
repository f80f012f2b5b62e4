#pragma once

#include <map>
#include <string>
#include <vector>

namespace Kavo
{

// One element returned by XMLParser::NextElement.
struct XMLElement
{
    enum Type
    {
        TYPE_NONE = 0, // while reading
        TYPE_START = 1,
        TYPE_END = 2,
        TYPE_ELEMENT = 3, // a run of text
        TYPE_INSTRUCTION = 4,
        TYPE_COMMENT = 5,
    };

    int type = TYPE_NONE;
    // The enclosing open elements' names joined by "/" ("" at the top level). A start tag's
    // section leaves out the element itself; its end tag's section ends with it.
    std::string section;
    // The tag name, the text, the instruction's target ("xml" for a declaration) or "!--".
    std::string value;
    // An instruction's rest from its first white space on; a comment's text.
    std::string instruction;
    std::map<std::string, std::string> attributes;
    // Attribute names in document order (a repeated name is listed each time it appears).
    std::vector<std::string> attributeOrder;
};

} // namespace Kavo
