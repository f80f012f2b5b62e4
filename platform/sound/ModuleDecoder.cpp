#include "platform/sound/ModuleDecoder.h"

#include "platform/files/Files.h"

#include <libopenmpt/libopenmpt.h>

#include <cmath>
#include <string>

namespace platform
{

ModuleDecoder::~ModuleDecoder()
{
    if (mModule) openmpt_module_destroy(mModule);
}

bool ModuleDecoder::OpenFile(const std::string& path)
{
    uint64_t size = 0;
    if (!GetFileSize(path, size) || size == 0 || size > kMostFileBytes) return false;
    std::string data;
    if (!ReadFile(path, data)) return false;
    int error = 0;
    mModule =
        openmpt_module_create_from_memory2(data.data(), data.size(), openmpt_log_func_silent, nullptr,
                                           openmpt_error_func_ignore, nullptr, &error, nullptr, nullptr);
    if (!mModule) return false;
    openmpt_module_set_repeat_count(mModule, 0);
    return true;
}

int ModuleDecoder::ReadFrames(int16_t* out, int frames)
{
    if (!mModule || frames <= 0) return 0;
    return int(openmpt_module_read_interleaved_stereo(mModule, 44100, size_t(frames), out));
}

bool ModuleDecoder::SeekFrame(int64_t frame)
{
    if (!mModule || frame < 0) return false;
    openmpt_module_set_position_seconds(mModule, double(frame) / 44100.0);
    return true;
}

int64_t ModuleDecoder::LengthFrames()
{
    return mModule ? int64_t(openmpt_module_get_duration_seconds(mModule) * 44100.0) : -1;
}

bool ModuleDecoder::SetLooping(bool looping)
{
    if (mModule) openmpt_module_set_repeat_count(mModule, looping ? -1 : 0);
    return true;
}

bool ModuleDecoder::SetOrderRow(int order, int row)
{
    if (!mModule || order < 0 || order >= Orders() || row < 0) return false;
    openmpt_module_set_position_order_row(mModule, order, row);
    return true;
}

int ModuleDecoder::Order() const
{
    return mModule ? openmpt_module_get_current_order(mModule) : 0;
}

int ModuleDecoder::Row() const
{
    return mModule ? openmpt_module_get_current_row(mModule) : 0;
}

int ModuleDecoder::Orders() const
{
    return mModule ? openmpt_module_get_num_orders(mModule) : 0;
}

void ModuleDecoder::SetGain(int millibels)
{
    if (mModule)
        openmpt_module_set_render_param(mModule, OPENMPT_MODULE_RENDER_MASTERGAIN_MILLIBEL, millibels);
}

} // namespace platform
