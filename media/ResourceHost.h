#pragma once

#include "graphics/FontHost.h"

#include <string>

namespace Kavo
{

class DDImage;
class SoundManager;

// What the resource manager needs of the application object besides what fonts need: its image
// loaders, the 3D setting and the sound manager. The application object implements it; tests
// use a fake.
class ResourceHost : public FontHost
{
public:
    // Loads an image file (with its alpha companion file) into a new display image owned by the
    // caller; null when the file cannot be loaded. commit: work out the image's alpha now.
    virtual DDImage* GetImage(const std::string& path, bool commit = true) = 0;
    // True when drawing goes through 3D acceleration.
    virtual bool Is3DAccelerated() = 0;
    // The sound manager, or null before there is one.
    virtual SoundManager* GetSoundManager() = 0;
};

} // namespace Kavo
