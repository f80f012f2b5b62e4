#pragma once

#include "graphics/AnimInfo.h"
#include "graphics/SharedImageHandle.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace Kavo
{

class Font;
class MemoryImage;
class ResourceHost;
class SoundManager;
class XMLParser;
struct XMLElement;

// Images, sounds and fonts declared in the resource manifest, each by a string id and in a
// group; a group is loaded whole or one resource per call (so that a loading screen can show
// progress) and released again, and loaded objects are handed out by id.
//
// The manifest:
//   <ResourceManifest>
//     <Resources id="Group">
//       <SetDefaults path="images" idprefix="IMAGE_"/>
//       <Image path="title" rows="2" anim="loop" framedelay="5"/>
//       <Sound id="SOUND_CLICK" path="sounds\click" volume="0.5" pan="-2000"/>
//       <Font id="FONT_TEXT" path="fonts\text.txt" tags="bold"/>
//     </Resources>
//   </ResourceManifest>
// Element and attribute names are case-sensitive, and so are ids. A group may be split over
// several Resources elements. Paths not beginning with '!' are prefixed with the default path;
// "!program" declares a resource that the program makes itself (never loaded here); a font path
// "!sys:Face" names a system font, "!ref:FONT_ID" a copy of a font loaded before it.
//
// Attributes (a flag counts when present, whatever its value):
//   every kind   path (required); id, else the path's file name without folders and extension;
//                the default id prefix goes before either
//   Image        flags nopal, nobits, nobits2d, nobits3d, ddsurface, a4r4g4b4, a8r8g8b8,
//                minsubdivide, noalpha; alphaimage and alphagrid (paths, prefixed like path);
//                alphacolor (hexadecimal RGB of an image made from an alpha file alone); variant;
//                rows and cols (1 to 32767); anim (none, once, loop, pingpong, in any case) with
//                framedelay, begindelay, enddelay (at most 32767) and the ','-separated lists
//                perframedelay and framemap (at most 65536 cels of the grid)
//   Sound        volume (0 to 1), pan (-10000 left to 10000 right; beyond is full left or right)
//   Font         image (used as given; the path is then its widths file), tags (separated by
//                ", \r\n\t"); a system font takes size (at least 1) and the flags bold, italic,
//                underline, shadow
//   SetDefaults  path (the default path; empty for none), idprefix; both hold for the rest of
//                the manifest
//
// Every failure is recorded once, as the first error text since the last clear (with the
// manifest's line and file while it is read), and reported by a false result; only the three
// lookups throw, ResourceManagerException with the error text. The manager takes no lock: one
// thread at a time uses it (the loading thread while it loads a group).
class ResourceManager
{
public:
    enum ResType
    {
        ResType_Image = 0,
        ResType_Sound = 1,
        ResType_Font = 2,
    };

    // One declared resource.
    class BaseRes
    {
    public:
        int type;
        std::string id;                                // with the id prefix applied
        std::string group;                             // the Resources id it was declared under
        std::string path;                              // resolved with the default path
        std::map<std::string, std::string> attributes; // all of the manifest element's
        bool fromProgram = false;                      // path "!program": never loaded here

        explicit BaseRes(int resType) : type(resType) {}
        BaseRes(const BaseRes&) = delete;
        BaseRes& operator=(const BaseRes&) = delete;
        virtual ~BaseRes() = default;

        // Releases the loaded object; the record stays declared.
        virtual void DeleteResource() {}
    };

    class ImageRes : public BaseRes
    {
    public:
        SharedImageHandle image; // empty until loaded
        std::string alphaImage;  // resolved paths; empty for none
        std::string alphaGridImage;
        std::string variant;
        bool autoFindAlpha = true; // recorded only
        bool palletize = true;
        bool a4r4g4b4 = false;
        bool a8r8g8b8 = false;
        bool ddSurface = false;
        bool purgeBits = false;
        bool minSubdivide = false;
        int rows = 1; // the cel grid, 1 to kMaxCelsPerSide each
        int cols = 1;
        uint32_t alphaColor = 0xFFFFFF; // of an image made from an alpha file alone
        AnimInfo animInfo;

        ImageRes() : BaseRes(ResType_Image) {}
        void DeleteResource() override { image.Release(); }
    };

    class SoundRes : public BaseRes
    {
    public:
        int soundId = -1;                     // -1 while not loaded
        SoundManager* soundManager = nullptr; // the manager holding the sound while loaded
        double volume = -1.0;                 // 0 to 1; below 0: none given
        int pan = 0;                          // -10000 left to 10000 right

        SoundRes() : BaseRes(ResType_Sound) {}
        void DeleteResource() override;
    };

    class FontRes : public BaseRes
    {
    public:
        std::unique_ptr<Font> font; // null while not loaded
        // The picture of a font made from an image and a widths file. Copies made by "!ref:"
        // draw from the same picture and share it.
        std::shared_ptr<MemoryImage> image;
        std::string imagePath; // as given, without the default path
        std::string tags;
        bool sysFont = false;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool shadow = false;
        int size = 0; // point size of a system font

        FontRes();
        ~FontRes() override;
        void DeleteResource() override;
    };

    using ResMap = std::map<std::string, std::unique_ptr<BaseRes>>;

    // The largest number of cel rows or columns of an image (an image is at most this wide).
    static constexpr int kMaxCelsPerSide = 32767;
    // The longest frame delay and frame map: the animation's total time stays inside int.
    static constexpr int kMaxFrameDelay = 32767;
    static constexpr std::size_t kMaxFrames = 65536;

    explicit ResourceManager(ResourceHost* app);
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    // --- Extension points, in the order of the virtual table ---

    // The attributes every kind shares: path, id, group; enters the record in its id map and
    // the current group's load list. A failed record is deleted.
    virtual bool ReadCommonAttributes(const XMLElement& element, std::unique_ptr<BaseRes> res, ResMap& map);
    virtual bool ReadSoundResource(const XMLElement& element);
    virtual bool ReadImageResource(const XMLElement& element);
    virtual bool ReadFontResource(const XMLElement& element);
    virtual bool ReadSetDefaults(const XMLElement& element);
    // The elements of one Resources element up to its end tag.
    virtual bool ReadGroupElements();
    // Releases the loaded objects of the group (of every resource for an empty name); the
    // records stay declared.
    virtual void DeleteResources(const std::string& group);
    virtual void DeleteGroupFromMap(ResMap& map, const std::string& group);
    virtual bool LoadImage(ImageRes* res);
    virtual bool LoadFont(FontRes* res);
    virtual bool LoadSound(SoundRes* res);
    virtual ~ResourceManager();
    // Loads the next resource of the started group that is not loaded yet and returns its
    // result; false when none is left or an error is recorded.
    virtual bool LoadNextResource();
    // Called after each successful load.
    virtual void OnResourceLoaded(BaseRes* res) { (void)res; }
    // Clears the error and starts the step-wise loading of the group.
    virtual void StartLoadResources(const std::string& group);
    // Loads every resource of the group; true (and the group counts as loaded) when nothing
    // failed. Resources loaded before a failure stay loaded.
    virtual bool LoadResources(const std::string& group);
    // The loaded object of the id; throw ResourceManagerException when the id is not declared
    // or not loaded. The font stays owned by the manager.
    virtual SharedImageHandle GetImageOrThrow(const std::string& id);
    virtual int GetSoundOrThrow(const std::string& id);
    virtual Font* GetFontOrThrow(const std::string& id);

    // --- Manifest and state ---

    // Reads the whole manifest; true when no error is recorded.
    bool LoadManifest(const std::string& fileName);
    // The group's resources that the manager loads (from-program ones left out); for an empty
    // name, every declared record.
    int CountGroupResources(const std::string& group);
    bool HadError() const { return mHasFailed; }
    std::string GetErrorText() const { return mError; }
    // Records the error when none is recorded yet; always false.
    bool Fail(const std::string& text);

protected:
    void ReadGroups();
    bool ApplyAlphaImage(ImageRes* res, MemoryImage* image);
    bool ApplyAlphaGrid(ImageRes* res, MemoryImage* image);
    FontRes* FindFontResource(const std::string& id);
    // The record of the id in the map, or null.
    static BaseRes* Find(const ResMap& map, const std::string& id);
    // Records the text (unless an error is recorded already) and throws the error text.
    [[noreturn]] void ThrowNotFound(const std::string& text);

    ResMap mImageMap;
    ResMap mSoundMap;
    ResMap mFontMap;
    // Per group, its records in manifest order (owned by the id maps).
    std::map<std::string, std::vector<BaseRes*>> mResGroupMap;
    std::set<std::string> mLoadedGroups;
    bool mHasFailed = false;
    std::string mError;
    std::unique_ptr<XMLParser> mXMLParser; // while LoadManifest runs
    std::string mCurResGroup;
    std::vector<BaseRes*>* mCurResGroupList = nullptr;
    std::size_t mCurResGroupPos = 0;
    std::string mDefaultPath;
    std::string mDefaultIdPrefix;
    ResourceHost* mApp;

private:
    void ClearError();
    // The manifest ended inside a group: false, and the failure recorded.
    bool EndOfInput();
    // Reads an integer attribute (as atoi does) into value when present; fails with
    // "Invalid <name> '<text>'." outside min to max.
    bool ReadBoundedInt(const XMLElement& element, const char* name, int min, int max, int& value);
    bool ReadAnimation(const XMLElement& element, ImageRes* res);
};

} // namespace Kavo
