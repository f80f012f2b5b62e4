#include "graphics/ListDataElement.h"

namespace Kavo
{

ListDataElement::ListDataElement(const ListDataElement& other) : DataElement(other)
{
    mIsList = true;
    mElementVector.reserve(other.mElementVector.size());
    for (const DataElement* element : other.mElementVector)
        mElementVector.push_back(element->Duplicate());
}

ListDataElement& ListDataElement::operator=(const ListDataElement& other)
{
    if (this == &other) return *this;
    Clear();
    for (const DataElement* element : other.mElementVector)
        mElementVector.push_back(element->Duplicate());
    return *this;
}

ListDataElement::~ListDataElement()
{
    Clear();
}

void ListDataElement::Clear()
{
    for (DataElement* element : mElementVector)
        delete element;
    mElementVector.clear();
}

} // namespace Kavo
