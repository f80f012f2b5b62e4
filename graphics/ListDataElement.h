#pragma once

#include "graphics/DataElement.h"

#include <cstddef>
#include <vector>

namespace Kavo
{

// A parenthesised list of values; owns its elements, and copies deeply.
class ListDataElement : public DataElement
{
public:
    std::vector<DataElement*> mElements;

    ListDataElement() { mIsList = true; }
    ListDataElement(const ListDataElement& other);
    ListDataElement& operator=(const ListDataElement& other);
    ~ListDataElement() override;

    ListDataElement* Duplicate() const override { return new ListDataElement(*this); }

    // Appends an element and takes it over.
    void Add(DataElement* element) { mElements.push_back(element); }
    void Clear();
    size_t Size() const { return mElements.size(); }
    DataElement* At(size_t index) const { return mElements[index]; }
};

} // namespace Kavo
