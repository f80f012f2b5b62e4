#pragma once

#include "graphics/SharedImageHandle.h"

#include <string>

namespace Kavo
{

// What font descriptions need of the application object: a way to show their errors and the
// application's table of images shared by name. The application object implements it; tests
// use a fake.
class FontHost
{
public:
    virtual ~FontHost() = default;

    // Shows a description error to the player (the application's narrow error box).
    virtual void Popup(const std::string& text) = 0;
    // The image shared under the file name, loaded on first use (variant: an alternative
    // image of the same name, empty for none). *isNew tells whether it was just loaded. An
    // empty handle when the image cannot be loaded.
    virtual SharedImageHandle GetSharedImage(const std::string& fileName, const std::string& variant,
                                             bool* isNew) = 0;
};

} // namespace Kavo
