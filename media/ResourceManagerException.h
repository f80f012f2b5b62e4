#pragma once

#include <exception>
#include <string>

namespace Kavo
{

// Thrown by the resource manager's lookups of an id that is not declared or not loaded. Its
// text is the manager's error text at the time of the throw.
class ResourceManagerException : public std::exception
{
public:
    explicit ResourceManagerException(const std::string& what) : mWhat(what) {}

    const char* what() const noexcept override { return mWhat.c_str(); }

private:
    std::string mWhat;
};

} // namespace Kavo
