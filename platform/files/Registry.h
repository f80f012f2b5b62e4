#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The per-user settings store: a tree of keys, each with typed values. Key paths use "\" (or
// "/") between names; names of keys and values are compared without regard to case and kept
// as first written.
//
// Enumeration order (stable, relied on by callers that list keys or values):
//   - sub-keys in name order, letters compared without regard to case;
//   - values in the order they were first created (rewriting a value keeps its place).
//
// A store is either in memory only (tests) or backed by one file, which every change rewrites
// atomically (a temporary file, then a rename), so the file holds the old or the new contents,
// never a mix. Changes made inside a batch (BeginBatch to EndBatch) are one change to the file:
// it is rewritten once, at the end, and until then holds what it held before the batch.
namespace platform
{

// Value types; the numbers are those that stored files and demo recordings carry.
constexpr uint32_t kRegString = 1; // text, no terminator stored
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4; // four bytes, low byte first

class RegistryStore
{
public:
    enum class LoadResult
    {
        Loaded,  // the file was read
        Missing, // no file yet: the store starts empty
        Damaged, // unreadable: moved aside to path + ".damaged", the store starts empty
    };

    // An empty store in memory.
    RegistryStore();
    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    // Binds the store to a file and loads it, replacing the contents. After Damaged the error
    // text says what was wrong; the next change writes a fresh file.
    LoadResult Open(const std::string& filePath);
    const std::string& FilePath() const { return mFilePath; }
    const std::string& LoadError() const { return mLoadError; }
    // After Damaged: where the damaged file was kept (path + ".damaged"); empty when it could not
    // be moved there.
    const std::string& DamagedCopy() const { return mDamagedCopy; }
    // True when the latest rewrite of the file failed: the store holds its changes in memory
    // only (until a later rewrite succeeds).
    bool WriteFailed() const { return mWriteFailed; }

    // Opens a batch: the changes until the matching EndBatch are made in memory at once and
    // written to the file together. Batches nest; only the outermost one writes.
    void BeginBatch();
    // Closes a batch. The outermost one rewrites the file once when anything changed in it and
    // returns false when that rewrite failed (the file then holds what it held before the
    // batch); an inner one, or one that changed nothing, returns true.
    bool EndBatch();

    // The changes below (CreateKey, DeleteKey, SetValue, DeleteValue) each rewrite the file; inside
    // a batch they are only kept for the batch's rewrite, and fail only for what they ask (a
    // missing key, a name too long), never for the file.

    // True when the key exists.
    bool KeyExists(std::string_view keyPath) const;
    // Creates the key and every missing key above it; true when it exists afterwards. A key
    // name longer than 255 bytes is refused.
    bool CreateKey(std::string_view keyPath);
    // Deletes a key that has no sub-keys (its values go with it); false when missing, when it
    // has sub-keys, or for the root.
    bool DeleteKey(std::string_view keyPath);

    // Sets a value of an existing key; false when the key is missing, the name is longer than
    // 16,383 bytes or the file cannot be written.
    bool SetValue(std::string_view keyPath, std::string_view name, uint32_t type, std::string_view data);
    // Reads a value; false when the key or the value is missing.
    bool QueryValue(std::string_view keyPath, std::string_view name, uint32_t& type, std::string& data) const;
    // Deletes a value; false when it is missing.
    bool DeleteValue(std::string_view keyPath, std::string_view name);

    // Names in the documented order; false (and an empty list) when the key is missing.
    bool GetSubKeys(std::string_view keyPath, std::vector<std::string>& names) const;
    bool GetValues(std::string_view keyPath, std::vector<std::string>& names) const;

    // The file image: "KREG", format version, then the tree (see Registry.cpp).
    std::string Serialize() const;
    // Replaces the contents from a file image; false with an error text when it is damaged
    // (then the contents are left as they were).
    bool Deserialize(std::string_view image, std::string& error);

private:
    struct Key;

    Key* Find(std::string_view keyPath) const;
    bool Persist();

    std::unique_ptr<Key> mRoot;
    std::string mFilePath;
    std::string mLoadError;
    std::string mDamagedCopy;
    bool mWriteFailed = false;
    int mBatchDepth = 0;
    bool mBatchChanged = false; // something changed in the open batch
};

} // namespace platform
