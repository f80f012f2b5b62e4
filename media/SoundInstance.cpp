#include "media/SoundInstance.h"

namespace Kavo
{

SoundInstance::~SoundInstance() = default;

} // namespace Kavo
