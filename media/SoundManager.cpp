#include "media/SoundManager.h"

namespace Kavo
{

SoundManager::~SoundManager() = default;

} // namespace Kavo
