#pragma once

namespace Kavo
{

// One value of a font description command: a single token or a parenthesised list.
class DataElement
{
public:
    bool mIsList = false;

    DataElement() = default;
    virtual ~DataElement() = default;
    // A deep copy, owned by the caller.
    virtual DataElement* Duplicate() const = 0;

protected:
    DataElement(const DataElement&) = default;
    DataElement& operator=(const DataElement&) = default;
};

} // namespace Kavo
