#pragma once

#include <string>

namespace Kavo
{

// Told when Enter is pressed in an edit field, and asked before keys, characters and whole new
// texts are accepted. Not owned. The three questions answer true unless overridden.
class EditListener
{
public:
    virtual ~EditListener() = default;

    virtual void EditWidgetText(int id, const std::string& text)
    {
        (void)id;
        (void)text;
    }
    // Asked for every key except the letters A to Y (which only move the focus on Tab).
    virtual bool AllowKey(int id, int key)
    {
        (void)id;
        (void)key;
        return true;
    }
    // Asked for every typed or pasted character.
    virtual bool AllowChar(int id, char c)
    {
        (void)id;
        (void)c;
        return true;
    }
    // Asked for the text an edit would leave; false undoes the edit.
    virtual bool AllowText(int id, const std::string& text)
    {
        (void)id;
        (void)text;
        return true;
    }
};

} // namespace Kavo
