#include "platform/files/Registry.h"

#include "platform/files/AsciiCase.h"
#include "platform/files/Files.h"
#include "platform/files/LittleEndian.h"

#include <algorithm>

namespace platform
{

// File image, all numbers little-endian:
//   "KREG", u32 format version (1), then the root key.
//   key:   u16 name length, name; u32 value count, values; u32 sub-key count, sub-keys.
//   value: u16 name length, name; u32 type; u32 data length, data.
// Nothing else follows the root key.
namespace
{

constexpr uint32_t kFormatVersion = 1;
constexpr int kMaxDepth = 64;
// The longest names the store takes (those of the registry it stands in for); the file keeps
// names behind 16-bit lengths.
constexpr size_t kMaxKeyName = 255;
// A settings file larger than this is taken as damaged (and kept aside, as any damaged file).
constexpr uint64_t kMaxStoreFileSize = uint64_t(64) << 20;
constexpr size_t kMaxValueName = 16383;

// Splits "a\b/c" into its non-empty names.
std::vector<std::string_view> SplitPath(std::string_view path)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i)
    {
        if (i == path.size() || path[i] == '\\' || path[i] == '/')
        {
            if (i > start) parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// Reads the image front to back; every length is checked against what is left.
class Reader
{
public:
    explicit Reader(std::string_view data) : mData(data) {}

    size_t Left() const { return mData.size() - mPos; }
    bool U16(uint32_t& v) { return Number(v, 2); }
    bool U32(uint32_t& v) { return Number(v, 4); }
    bool Bytes(size_t n, std::string& out)
    {
        if (n > Left()) return false;
        out.assign(mData.substr(mPos, n));
        mPos += n;
        return true;
    }

private:
    bool Number(uint32_t& v, size_t size)
    {
        if (Left() < size) return false;
        const uint8_t* p = reinterpret_cast<const uint8_t*>(mData.data()) + mPos;
        v = size == 2 ? LoadLE16(p) : LoadLE32(p);
        mPos += size;
        return true;
    }

    std::string_view mData;
    size_t mPos = 0;
};

} // namespace

struct RegistryStore::Key
{
    struct Value
    {
        std::string name;
        uint32_t type = 0;
        std::string data;
    };

    std::string name;
    std::vector<Value> values;                        // creation order
    std::map<std::string, std::unique_ptr<Key>> keys; // by folded name, hence enumeration order

    Value* FindValue(std::string_view valueName)
    {
        for (Value& v : values)
            if (EqualIgnoringCase(v.name, valueName)) return &v;
        return nullptr;
    }

    void Write(std::string& out) const
    {
        AppendLE16(out, uint16_t(name.size()));
        out += name;
        AppendLE32(out, uint32_t(values.size()));
        for (const Value& v : values)
        {
            AppendLE16(out, uint16_t(v.name.size()));
            out += v.name;
            AppendLE32(out, v.type);
            AppendLE32(out, uint32_t(v.data.size()));
            out += v.data;
        }
        AppendLE32(out, uint32_t(keys.size()));
        for (const auto& entry : keys)
            entry.second->Write(out);
    }

    bool Read(Reader& in, int depth, std::string& error)
    {
        if (depth > kMaxDepth) return (error = "keys nested too deeply", false);
        uint32_t length = 0, count = 0;
        if (!in.U16(length) || !in.Bytes(length, name)) return (error = "key name cut short", false);
        // Each value takes at least 10 bytes and each key at least 10, so a count larger than
        // what is left cannot be honest.
        if (!in.U32(count) || count > in.Left() / 10) return (error = "bad value count", false);
        for (uint32_t i = 0; i < count; ++i)
        {
            Value v;
            uint32_t size = 0;
            if (!in.U16(length) || !in.Bytes(length, v.name) || !in.U32(v.type) || !in.U32(size) ||
                !in.Bytes(size, v.data))
                return (error = "value cut short", false);
            if (Value* old = FindValue(v.name))
                *old = std::move(v);
            else
                values.push_back(std::move(v));
        }
        if (!in.U32(count) || count > in.Left() / 10) return (error = "bad key count", false);
        for (uint32_t i = 0; i < count; ++i)
        {
            auto child = std::make_unique<Key>();
            if (!child->Read(in, depth + 1, error)) return false;
            if (child->name.empty()) return (error = "key without a name", false);
            std::string folded = AsciiLowerCopy(child->name);
            keys[folded] = std::move(child);
        }
        return true;
    }
};

RegistryStore::RegistryStore() : mRoot(std::make_unique<Key>()) {}

RegistryStore::~RegistryStore() = default;

RegistryStore::LoadResult RegistryStore::Open(const std::string& filePath)
{
    mFilePath = filePath;
    mLoadError.clear();
    mDamagedCopy.clear();
    mBatchChanged = false; // what an open batch changed belonged to the contents replaced here
    mRoot = std::make_unique<Key>();
    if (!PathExists(filePath)) return LoadResult::Missing;
    std::string image, error;
    ReadFailure failure = ReadFailure::None;
    if (!ReadFile(filePath, image, kMaxStoreFileSize, &failure))
        error = ReadFailureText(failure);
    else if (Deserialize(image, error))
        return LoadResult::Loaded;
    mLoadError = filePath + ": " + error;
    // Keep the damaged file for whoever wants to look at it; the store starts afresh.
    if (RenameFile(filePath, filePath + ".damaged")) mDamagedCopy = filePath + ".damaged";
    return LoadResult::Damaged;
}

RegistryStore::Key* RegistryStore::Find(std::string_view keyPath) const
{
    Key* key = mRoot.get();
    for (std::string_view part : SplitPath(keyPath))
    {
        auto it = key->keys.find(AsciiLowerCopy(part));
        if (it == key->keys.end()) return nullptr;
        key = it->second.get();
    }
    return key;
}

void RegistryStore::BeginBatch()
{
    ++mBatchDepth;
}

bool RegistryStore::EndBatch()
{
    if (mBatchDepth == 0 || --mBatchDepth > 0 || !mBatchChanged) return true;
    mBatchChanged = false;
    return Persist();
}

bool RegistryStore::Persist()
{
    if (mBatchDepth > 0)
    {
        mBatchChanged = true;
        return true;
    }
    if (mFilePath.empty()) return true;
    // Create the folders along the path first.
    std::string path = NormalizePath(mFilePath);
    size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) MakeDirectories(path.substr(0, slash));
    mWriteFailed = !WriteFileAtomically(mFilePath, Serialize());
    return !mWriteFailed;
}

bool RegistryStore::KeyExists(std::string_view keyPath) const
{
    return Find(keyPath) != nullptr;
}

bool RegistryStore::CreateKey(std::string_view keyPath)
{
    for (std::string_view part : SplitPath(keyPath))
        if (part.size() > kMaxKeyName) return false;
    Key* key = mRoot.get();
    bool created = false;
    for (std::string_view part : SplitPath(keyPath))
    {
        std::unique_ptr<Key>& slot = key->keys[AsciiLowerCopy(part)];
        if (!slot)
        {
            slot = std::make_unique<Key>();
            slot->name = std::string(part);
            created = true;
        }
        key = slot.get();
    }
    return !created || Persist();
}

bool RegistryStore::DeleteKey(std::string_view keyPath)
{
    std::vector<std::string_view> parts = SplitPath(keyPath);
    if (parts.empty()) return false;
    Key* parent = mRoot.get();
    for (size_t i = 0; i + 1 < parts.size(); ++i)
    {
        auto it = parent->keys.find(AsciiLowerCopy(parts[i]));
        if (it == parent->keys.end()) return false;
        parent = it->second.get();
    }
    auto it = parent->keys.find(AsciiLowerCopy(parts.back()));
    if (it == parent->keys.end() || !it->second->keys.empty()) return false;
    parent->keys.erase(it);
    return Persist();
}

bool RegistryStore::SetValue(std::string_view keyPath, std::string_view name, uint32_t type,
                             std::string_view data)
{
    Key* key = Find(keyPath);
    if (!key || name.size() > kMaxValueName) return false;
    if (Key::Value* v = key->FindValue(name))
    {
        v->type = type;
        v->data.assign(data);
    }
    else
    {
        key->values.push_back({std::string(name), type, std::string(data)});
    }
    return Persist();
}

bool RegistryStore::QueryValue(std::string_view keyPath, std::string_view name, uint32_t& type,
                               std::string& data) const
{
    Key* key = Find(keyPath);
    if (!key) return false;
    const Key::Value* v = key->FindValue(name);
    if (!v) return false;
    type = v->type;
    data = v->data;
    return true;
}

bool RegistryStore::DeleteValue(std::string_view keyPath, std::string_view name)
{
    Key* key = Find(keyPath);
    if (!key) return false;
    Key::Value* v = key->FindValue(name);
    if (!v) return false;
    key->values.erase(key->values.begin() + (v - key->values.data()));
    return Persist();
}

bool RegistryStore::GetSubKeys(std::string_view keyPath, std::vector<std::string>& names) const
{
    names.clear();
    Key* key = Find(keyPath);
    if (!key) return false;
    for (const auto& entry : key->keys)
        names.push_back(entry.second->name);
    return true;
}

bool RegistryStore::GetValues(std::string_view keyPath, std::vector<std::string>& names) const
{
    names.clear();
    Key* key = Find(keyPath);
    if (!key) return false;
    for (const Key::Value& v : key->values)
        names.push_back(v.name);
    return true;
}

std::string RegistryStore::Serialize() const
{
    std::string out = "KREG";
    AppendLE32(out, kFormatVersion);
    mRoot->Write(out);
    return out;
}

bool RegistryStore::Deserialize(std::string_view image, std::string& error)
{
    if (image.size() < 8 || image.substr(0, 4) != "KREG") return (error = "not a settings file", false);
    Reader in(image.substr(4));
    uint32_t version = 0;
    in.U32(version);
    if (version != kFormatVersion) return (error = "unknown format version", false);
    auto root = std::make_unique<Key>();
    if (!root->Read(in, 0, error)) return false;
    if (in.Left() != 0) return (error = "data after the end", false);
    mRoot = std::move(root);
    return true;
}

} // namespace platform
