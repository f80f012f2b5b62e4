// Settings store operations, their demo records, and the framework's own settings.
#include "app/KavoAppBase.h"

#include "app/SettingsWriteGroup.h"
#include "base/PathUtils.h"
#include "platform/files/Files.h"
#include "platform/files/LittleEndian.h"
#include "platform/files/Registry.h"

#include <cstring>

namespace Kavo
{

namespace
{

// A value name's last part names the value; what comes before it is a key below the base.
void SplitValueName(const std::string& name, std::string& keyPart, std::string& valueName)
{
    size_t slash = name.rfind('\\');
    if (slash == std::string::npos)
    {
        keyPart.clear();
        valueName = name;
    }
    else
    {
        keyPart = name.substr(0, slash);
        valueName = name.substr(slash + 1);
    }
}

// A volume as the whole percentage it stands for, truncated toward zero. The product is nudged
// by far less than a percent first: 0.29 x 100 is 28.999999999999996 in doubles, and a value
// read back as n / 100.0 must be written as n again, or it would sink by one on every run.
int VolumePercent(double volume)
{
    double percent = volume * 100.0;
    return int(percent < 0.0 ? percent - 1e-9 : percent + 1e-9);
}

} // namespace

platform::RegistryStore* KavoAppBase::GetRegistryStore()
{
    if (mInstalledStore) return mInstalledStore;
    // One file per registry key, in the per-user data folder; a damaged file is reported and
    // replaced, and the program goes on with default settings.
    if (!mFileStore || mFileStoreKey != mRegKey)
    {
        std::string path = platform::NormalizePath(mRegKey);
        while (!path.empty() && path.back() == '/')
            path.pop_back();
        // A group open on the store of the old key ends there, and goes on batching in the new.
        const bool grouped = mGroupStore != nullptr && mGroupStore == mFileStore.get();
        if (grouped) mGroupStore->EndBatch();
        mFileStore = std::make_unique<platform::RegistryStore>();
        mFileStoreKey = mRegKey;
        if (mFileStore->Open(platform::DataFolder() + path + "/settings.reg") ==
            platform::RegistryStore::LoadResult::Damaged)
        {
            const std::string& copy = mFileStore->DamagedCopy();
            mUntoldDamagedSettings = copy.empty() ? mFileStore->FilePath() : copy;
            platform::MessageBox(
                "The settings file was damaged and has been replaced; the damaged file was kept "
                "as " +
                    mFileStore->FilePath() + ".damaged.\r\n" + mFileStore->LoadError(),
                mTitle, platform::MB_OK | platform::MB_ICONWARNING);
        }
        if (grouped)
        {
            mGroupStore = mFileStore.get();
            mGroupStore->BeginBatch();
        }
    }
    return mFileStore.get();
}

void KavoAppBase::BeginSettingsGroup()
{
    // A demo that plays answers the settings writes itself: the file is not even opened.
    if (mSettingsGroups++ > 0 || mRegKey.empty() || DemoReadsSettings()) return;
    mGroupStore = GetRegistryStore();
    mGroupStore->BeginBatch();
}

bool KavoAppBase::EndSettingsGroup()
{
    if (mSettingsGroups == 0 || --mSettingsGroups > 0 || mGroupStore == nullptr) return true;
    platform::RegistryStore* store = mGroupStore;
    mGroupStore = nullptr;
    const bool written = store->EndBatch();
    NoteSettingsWriteFailure(store);
    return written;
}

std::string KavoAppBase::RegistryKeyPath(const std::string& name, std::string* valueName, bool keyOperation)
{
    std::string path = RemoveTrailingSlash("SOFTWARE\\" + mRegKey);
    if (keyOperation)
    {
        path += "\\" + name;
    }
    else
    {
        std::string keyPart;
        SplitValueName(name, keyPart, *valueName);
        if (!keyPart.empty()) path += "\\" + keyPart;
    }
    return path;
}

bool KavoAppBase::DemoReadsSettings()
{
    return mPlayingDemo && !mRecordingDemo;
}

bool KavoAppBase::ReplayResult()
{
    ReadDemoEventHeader();
    mDemo.TakeHeader();
    return mDemo.mBuffer.ReadNumBits(1, false) != 0;
}

bool KavoAppBase::RecordResult(int type, bool result)
{
    if (mRecordingDemo && !mPlayingDemo)
    {
        mDemo.WriteLongEvent(mUpdateCount, type);
        mDemo.mBuffer.WriteNumBits(result ? 1 : 0, 1);
    }
    return result;
}

void KavoAppBase::RecordStringList(int type, bool result, const std::vector<std::string>& names)
{
    RecordResult(type, result);
    if (mRecordingDemo && !mPlayingDemo && result)
    {
        mDemo.mBuffer.WriteLong(int32_t(names.size()));
        for (const std::string& name : names)
            mDemo.mBuffer.WriteString(name);
    }
}

bool KavoAppBase::RegistryWrite(const std::string& name, uint32_t type, const uint8_t* data, uint32_t length)
{
    if (mRegKey.empty()) return false;
    if (DemoReadsSettings())
    {
        return !mDemoCloseHandled && ReplayResult();
    }
    std::string valueName;
    std::string key = RegistryKeyPath(name, &valueName, false);
    platform::RegistryStore* store = GetRegistryStore();
    // A new key and its first value are one change to the file.
    BeginSettingsGroup();
    bool ok = (store->KeyExists(key) || store->CreateKey(key)) &&
              store->SetValue(key, valueName, type, std::string(reinterpret_cast<const char*>(data), length));
    ok = EndSettingsGroup() && ok;
    return RecordResult(DemoStream::kRegistryWrite, ok);
}

bool KavoAppBase::RegistryWriteString(const std::string& name, const std::string& value)
{
    return RegistryWrite(name, platform::kRegString, reinterpret_cast<const uint8_t*>(value.data()),
                         uint32_t(value.size()));
}

bool KavoAppBase::RegistryWriteInteger(const std::string& name, int value)
{
    uint8_t bytes[4];
    platform::StoreLE32(bytes, uint32_t(value));
    return RegistryWrite(name, platform::kRegDword, bytes, 4);
}

bool KavoAppBase::RegistryWriteBoolean(const std::string& name, bool value)
{
    return RegistryWriteInteger(name, value ? 1 : 0);
}

bool KavoAppBase::RegistryRead(const std::string& name, uint32_t* type, uint8_t* data, uint32_t* length)
{
    if (mRegKey.empty()) return false;
    if (DemoReadsSettings())
    {
        if (mDemoCloseHandled || !ReplayResult()) return false;
        uint32_t recordedType = uint32_t(mDemo.mBuffer.ReadLong());
        uint32_t recordedLength = uint32_t(mDemo.mBuffer.ReadLong());
        // The recording says how long the value was; never copy more than the caller's buffer
        // holds, and skip whatever of the recorded bytes does not fit.
        uint32_t available = uint32_t(mDemo.mBuffer.BytesLeft());
        uint32_t inFile = recordedLength < available ? recordedLength : available;
        uint32_t copied = inFile < *length ? inFile : *length;
        mDemo.mBuffer.ReadBytes(data, int(copied));
        mDemo.mBuffer.SetReadBitPos(mDemo.mBuffer.GetReadBitPos() + int64_t(inFile - copied) * 8);
        *type = recordedType;
        *length = recordedLength;
        return recordedLength <= copied;
    }
    std::string valueName;
    std::string key = RegistryKeyPath(name, &valueName, false);
    uint32_t foundType = 0;
    std::string value;
    bool ok = GetRegistryStore()->QueryValue(key, valueName, foundType, value) && value.size() <= *length;
    if (ok)
    {
        *type = foundType;
        *length = uint32_t(value.size());
        if (!value.empty()) std::memcpy(data, value.data(), value.size());
    }
    if (mRecordingDemo && !mPlayingDemo)
    {
        RecordResult(DemoStream::kRegistryRead, ok);
        if (ok)
        {
            mDemo.mBuffer.WriteLong(int32_t(*type));
            mDemo.mBuffer.WriteLong(int32_t(*length));
            mDemo.mBuffer.WriteBytes(data, int(*length));
        }
    }
    return ok;
}

bool KavoAppBase::RegistryReadString(const std::string& name, std::string* value)
{
    char buffer[1024];
    uint32_t type = 0, length = 1023;
    if (!RegistryRead(name, &type, reinterpret_cast<uint8_t*>(buffer), &length) ||
        type != platform::kRegString)
        return false;
    *value = std::string(buffer, length);
    return true;
}

bool KavoAppBase::RegistryReadInteger(const std::string& name, int* value)
{
    uint8_t bytes[4] = {};
    uint32_t type = 0, length = 4;
    if (!RegistryRead(name, &type, bytes, &length) || type != platform::kRegDword) return false;
    *value = int(platform::LoadLE32(bytes));
    return true;
}

bool KavoAppBase::RegistryReadBoolean(const std::string& name, bool* value)
{
    int number = 0;
    if (!RegistryReadInteger(name, &number)) return false;
    *value = number != 0;
    return true;
}

bool KavoAppBase::RegistryEraseKey(const std::string& keyName)
{
    if (mRegKey.empty()) return false;
    if (DemoReadsSettings())
    {
        return !mDemoCloseHandled && ReplayResult();
    }
    platform::RegistryStore* store = GetRegistryStore();
    bool ok = store->DeleteKey(RegistryKeyPath(keyName, nullptr, true));
    NoteSettingsWriteFailure(store);
    return RecordResult(DemoStream::kRegistryEraseKey, ok);
}

void KavoAppBase::RegistryEraseValue(const std::string& name)
{
    if (mRegKey.empty()) return;
    std::string valueName;
    std::string key = RegistryKeyPath(name, &valueName, false);
    platform::RegistryStore* store = GetRegistryStore();
    store->DeleteValue(key, valueName);
    NoteSettingsWriteFailure(store);
}

void KavoAppBase::NoteSettingsWriteFailure(platform::RegistryStore* store)
{
    if (!store->WriteFailed()) return;
    if (!mSettingsWriteReported) mUntoldUnwritableSettings = store->FilePath();
    ReportLostWriteOnce(mSettingsWriteReported, "The settings could not be written to " + store->FilePath() +
                                                    "; what changed is lost when the program ends.");
}

bool KavoAppBase::RegistryGetList(const std::string& keyName, std::vector<std::string>* names, bool subKeys)
{
    names->clear();
    if (mRegKey.empty()) return false;
    if (DemoReadsSettings())
    {
        if (mDemoCloseHandled || !ReplayResult()) return false;
        uint32_t count = uint32_t(mDemo.mBuffer.ReadLong());
        // Each name takes at least its two length bytes: the count is believed only that far.
        for (uint32_t i = 0; i < count && mDemo.mBuffer.BytesLeft() >= 2; ++i)
            names->push_back(mDemo.mBuffer.ReadString());
        return true;
    }
    std::string key = RegistryKeyPath(keyName, nullptr, true);
    platform::RegistryStore* store = GetRegistryStore();
    bool ok = subKeys ? store->GetSubKeys(key, *names) : store->GetValues(key, *names);
    RecordStringList(subKeys ? DemoStream::kRegistrySubKeys : DemoStream::kRegistryValues, ok, *names);
    return ok;
}

bool KavoAppBase::RegistryGetSubKeys(const std::string& keyName, std::vector<std::string>* names)
{
    return RegistryGetList(keyName, names, true);
}

bool KavoAppBase::RegistryGetValues(const std::string& keyName, std::vector<std::string>* names)
{
    return RegistryGetList(keyName, names, false);
}

// ---------------------------------------------------------------- the framework's settings

void KavoAppBase::WriteSettingsToRegistry()
{
    SettingsWriteGroup group(this);
    RegistryWriteInteger("MusicVolume", VolumePercent(mMusicVolume));
    RegistryWriteInteger("SfxVolume", VolumePercent(mSfxVolume));
    RegistryWriteInteger("Muted", mMuteCount > mAutoMuteCount ? 1 : 0);
    RegistryWriteInteger("ScreenMode", mIsWindowed ? 0 : 1);
    RegistryWriteInteger("PreferredX", mPreferredX);
    RegistryWriteInteger("PreferredY", mPreferredY);
    RegistryWriteInteger("CustomCursors", mCustomCursorsEnabled ? 1 : 0);
    RegistryWriteInteger("InProgress", 0);
    RegistryWriteInteger("WaitForVSync", mWaitForVSync ? 1 : 0);
}

void KavoAppBase::ReadSettingsFromRegistry()
{
    mReadFromRegistry = true;
    auto key = mStringProperties.find("RegistryKey");
    if (key != mStringProperties.end()) mRegKey = GetString("RegistryKey", mRegKey);
    if (!mRegKey.empty())
    {
        int value = 0;
        if (RegistryReadInteger("MusicVolume", &value)) mMusicVolume = value / 100.0;
        if (RegistryReadInteger("SfxVolume", &value)) mSfxVolume = value / 100.0;
        if (RegistryReadInteger("Muted", &value)) mMuteCount = value;
        if (RegistryReadInteger("ScreenMode", &value)) mIsWindowed = value == 0;
        if (RegistryReadInteger("PreferredX", &value)) mPreferredX = value;
        if (RegistryReadInteger("PreferredY", &value)) mPreferredY = value;
        if (RegistryReadInteger("CustomCursors", &value)) EnableCustomCursors(value != 0);
        if (RegistryReadInteger("WaitForVSync", &value)) mWaitForVSync = value != 0;
        RegistryReadInteger("InProgress", &value);
    }
    if (!mScreensaverMode) RegistryWriteInteger("InProgress", 1);
}

} // namespace Kavo
