#include "media/MusicInterface.h"

namespace Kavo
{

MusicInterface::~MusicInterface() = default;

} // namespace Kavo
