#include "graphics/FileFontHost.h"

#include "graphics/ImageLib.h"
#include "graphics/MemoryImage.h"
#include "graphics/SharedImage.h"

#include <algorithm>

namespace Kavo
{

FileFontHost::FileFontHost() = default;

FileFontHost::~FileFontHost()
{
    for (auto& [name, shared] : mShared)
        delete shared->image;
}

SharedImageHandle FileFontHost::GetSharedImage(const std::string& fileName, const std::string&, bool* isNew)
{
    std::string name = fileName;
    std::replace(name.begin(), name.end(), '\\', '/');
    SharedImageHandle handle;
    auto it = mShared.find(name);
    bool created = false;
    if (it == mShared.end())
    {
        std::unique_ptr<ImageLib::Image> file = ImageLib::GetImage(name);
        if (!file) return handle;
        auto shared = std::make_unique<SharedImage>();
        shared->image = new MemoryImage();
        shared->image->SetBits(file->bits.get(), file->width, file->height);
        it = mShared.emplace(name, std::move(shared)).first;
        created = true;
    }
    if (isNew) *isNew = created;
    handle.AssignShared(it->second.get());
    return handle;
}

} // namespace Kavo
