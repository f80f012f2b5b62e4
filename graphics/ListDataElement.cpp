#include "graphics/ListDataElement.h"

namespace Kavo
{

ListDataElement::ListDataElement(const ListDataElement& other) : DataElement(other)
{
    mIsList = true;
    mElements.reserve(other.mElements.size());
    for (const DataElement* element : other.mElements)
        mElements.push_back(element->Duplicate());
}

ListDataElement& ListDataElement::operator=(const ListDataElement& other)
{
    if (this == &other) return *this;
    Clear();
    for (const DataElement* element : other.mElements)
        mElements.push_back(element->Duplicate());
    return *this;
}

ListDataElement::~ListDataElement()
{
    Clear();
}

void ListDataElement::Clear()
{
    for (DataElement* element : mElements)
        delete element;
    mElements.clear();
}

} // namespace Kavo
