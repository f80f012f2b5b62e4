#include "platform/fault/StackWalk.h"

#include "platform/fault/SafeMemory.h"

#define UNW_LOCAL_ONLY
#include <libunwind.h>

namespace platform
{

int WalkFramePointers(uint64_t pc, uint64_t frame, CrashFrame* frames, int maxFrames)
{
    int count = 0;
    while (count < maxFrames)
    {
        frames[count] = CrashFrame();
        frames[count].pc = pc;
        frames[count].frame = frame;
        ++count;
        uint64_t words[2]; // the caller's frame pointer, the return address
        if (!SafeRead(frame, words, sizeof(words))) break;
        uint64_t next = words[0];
        uint64_t returnAddress = words[1];
        if (next % 8 != 0 || next <= frame) break;
        if (!SafeRead(next, words, sizeof(words))) break;
        pc = returnAddress;
        frame = next;
    }
    return count;
}

void WalkUnwinder(void* signalContext, CrashFrame* frames, int maxFrames, int& count, int& error)
{
    count = 0;
    error = 0;
    unw_cursor_t cursor;
    int result = unw_init_local2(&cursor, static_cast<unw_context_t*>(signalContext), UNW_INIT_SIGNAL_FRAME);
    if (result < 0)
    {
        error = result;
        return;
    }
    while (count < maxFrames)
    {
        unw_word_t ip = 0, sp = 0;
        unw_get_reg(&cursor, UNW_REG_IP, &ip);
        unw_get_reg(&cursor, UNW_REG_SP, &sp);
        if (ip == 0) break;
        CrashFrame& f = frames[count];
        f = CrashFrame();
        f.pc = ip;
        f.frame = sp;
        if (!SafeRead(sp, f.params, sizeof(f.params)))
            for (uint64_t& word : f.params)
                word = 0;
        ++count;
        result = unw_step(&cursor);
        if (result <= 0)
        {
            error = result;
            break;
        }
    }
}

} // namespace platform
