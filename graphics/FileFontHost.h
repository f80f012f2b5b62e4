#pragma once

#include "graphics/FontHost.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Kavo
{

class SharedImage;

// A font host for programs that have no application object (build tools, content checks):
// images are read from their files through ImageLib and shared by file name, and error boxes
// are only kept. Fonts that use the host must be deleted before it.
class FileFontHost : public FontHost
{
public:
    FileFontHost();
    ~FileFontHost() override;
    FileFontHost(const FileFontHost&) = delete;
    FileFontHost& operator=(const FileFontHost&) = delete;

    // The texts of every error box asked for, in order.
    const std::vector<std::string>& Popups() const { return mPopups; }

    void Popup(const std::string& text) override { mPopups.push_back(text); }
    SharedImageHandle GetSharedImage(const std::string& fileName, const std::string& variant,
                                     bool* isNew) override;

private:
    std::map<std::string, std::unique_ptr<SharedImage>> mShared;
    std::vector<std::string> mPopups;
};

} // namespace Kavo
