#include "widgets/WidgetAppServices.h"

namespace Kavo
{

namespace
{
WidgetAppServices* gCurrentServices = nullptr;
}

WidgetAppServices* WidgetAppServices::Current()
{
    return gCurrentServices;
}

void WidgetAppServices::SetCurrent(WidgetAppServices* services)
{
    gCurrentServices = services;
}

} // namespace Kavo
