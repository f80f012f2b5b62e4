#pragma once

#include "graphics/DataElement.h"

#include <string>

namespace Kavo
{

// A token as written in the description, quotes included.
class SingleDataElement : public DataElement
{
public:
    std::string mValue;

    SingleDataElement() = default;
    explicit SingleDataElement(std::string value) : mValue(std::move(value)) {}
    SingleDataElement* Duplicate() const override { return new SingleDataElement(mValue); }
};

} // namespace Kavo
