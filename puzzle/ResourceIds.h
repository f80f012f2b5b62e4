#pragma once

// The game's images, fonts and sounds by name: one global per resource id of the manifest,
// named exactly as the id. IMAGE_ globals are images and FONT_ globals fonts, both kept (and
// deleted) by the resource manager; SOUND_ globals are sound ids of the sound manager. All are
// null or 0 until their group is bound and keep their value until the program ends.
//
// Each group is bound once it is loaded: ExtractInitResources and ExtractTitleScreenResources
// on the main thread at start-up, ExtractGameResources on the loading thread (the main thread
// reads the "Game" globals only after the loading thread has ended).
#include <iterator>

namespace Kavo
{

class Font;
class Image;
class ResourceManager;

using ImageResource = Image*;
using FontResource = Font*;
using SoundResource = int;

// The ids of each group in binding order: X(kind, id) with kind Image, Font or Sound.
#define KAVO_INIT_RESOURCES(X)                                                                               \
    X(Font, FONT_LABEL) X(Image, IMAGE_COMPLETION_STAR1) X(Image, IMAGE_COMPLETION_STAR2)

#define KAVO_TITLESCREEN_RESOURCES(X)                                                                        \
    X(Image, IMAGE_LOADER_BACKGROUND)                                                                        \
    X(Image, IMAGE_LOADER_LOGO)                                                                              \
    X(Image, IMAGE_LOADER_MOON)                                                                              \
    X(Image, IMAGE_LOADER_PLANET)                                                                            \
    X(Image, IMAGE_VELQUIS)                                                                                  \
    X(Image, IMAGE_PUBLISHER)                                                                                \
    X(Image, IMAGE_SPLASH1)                                                                                  \
    X(Image, IMAGE_SPLASH2)                                                                                  \
    X(Image, IMAGE_SPLASH3)

#define KAVO_GAME_RESOURCES(X)                                                                               \
    X(Font, FONT_EXCITED)                                                                                    \
    X(Font, FONT_FLOATYNUMBER)                                                                               \
    X(Font, FONT_NUMBER)                                                                                     \
    X(Font, FONT_SEGUE)                                                                                      \
    X(Font, FONT_SMALLTEXT)                                                                                  \
    X(Font, FONT_TEXT)                                                                                       \
    X(Image, IMAGE_BLACKHOLE)                                                                                \
    X(Image, IMAGE_BONUS)                                                                                    \
    X(Image, IMAGE_CHALLENGEGRID_BACKGROUND)                                                                 \
    X(Image, IMAGE_CHALLENGEGRID_BUTTON)                                                                     \
    X(Image, IMAGE_CHALLENGEGRID_BUTTONLOCKED)                                                               \
    X(Image, IMAGE_CHALLENGEGRID_STARS)                                                                      \
    X(Image, IMAGE_CHECKBOX)                                                                                 \
    X(Image, IMAGE_COMBO)                                                                                    \
    X(Image, IMAGE_COMPLETION_INDICATOR)                                                                     \
    X(Image, IMAGE_COMPLETION_METER)                                                                         \
    X(Image, IMAGE_DIALOG_BOX)                                                                               \
    X(Image, IMAGE_DIALOG_BUTTON)                                                                            \
    X(Image, IMAGE_EXAMPLE_BONUS)                                                                            \
    X(Image, IMAGE_FRAME_BOTTOM_BUBBLE)                                                                      \
    X(Image, IMAGE_FRAME_BOTTOM_FULL)                                                                        \
    X(Image, IMAGE_FRAME_BOTTOM_PARTIAL)                                                                     \
    X(Image, IMAGE_FRAME_LEFT_FULL)                                                                          \
    X(Image, IMAGE_FRAME_LEFT_MAINMENU_BTN)                                                                  \
    X(Image, IMAGE_FRAME_LEFT_PARTIAL)                                                                       \
    X(Image, IMAGE_FRAME_RIGHT_FULL)                                                                         \
    X(Image, IMAGE_FRAME_TOP_SHADED)                                                                         \
    X(Image, IMAGE_FRAME_TOP_SHADED_GAME)                                                                    \
    X(Image, IMAGE_GLOWYBOX_BOTTOMRIGHTCORNER)                                                               \
    X(Image, IMAGE_GLOWYBOX_LEFTRIGHTPIXEL)                                                                  \
    X(Image, IMAGE_GLOWYBOX_UPDOWNPIXEL)                                                                     \
    X(Image, IMAGE_GLOWYBOX_UPLEFTCORNER)                                                                    \
    X(Image, IMAGE_GRID_CROSSBEAM)                                                                           \
    X(Image, IMAGE_GRID_SQUARE)                                                                              \
    X(Image, IMAGE_LEVELCHOOSER_BACKGROUND)                                                                  \
    X(Image, IMAGE_LEVELCHOOSER_PLANET1)                                                                     \
    X(Image, IMAGE_LEVELCHOOSER_PLANET10)                                                                    \
    X(Image, IMAGE_LEVELCHOOSER_PLANET11)                                                                    \
    X(Image, IMAGE_LEVELCHOOSER_PLANET12)                                                                    \
    X(Image, IMAGE_LEVELCHOOSER_PLANET2)                                                                     \
    X(Image, IMAGE_LEVELCHOOSER_PLANET3)                                                                     \
    X(Image, IMAGE_LEVELCHOOSER_PLANET4)                                                                     \
    X(Image, IMAGE_LEVELCHOOSER_PLANET5)                                                                     \
    X(Image, IMAGE_LEVELCHOOSER_PLANET6)                                                                     \
    X(Image, IMAGE_LEVELCHOOSER_PLANET7)                                                                     \
    X(Image, IMAGE_LEVELCHOOSER_PLANET8)                                                                     \
    X(Image, IMAGE_LEVELCHOOSER_PLANET9)                                                                     \
    X(Image, IMAGE_LEVELCHOOSER_PLANETSPOT1)                                                                 \
    X(Image, IMAGE_LEVELCHOOSER_PLANETSPOT10)                                                                \
    X(Image, IMAGE_LEVELCHOOSER_PLANETSPOT11)                                                                \
    X(Image, IMAGE_LEVELCHOOSER_PLANETSPOT12)                                                                \
    X(Image, IMAGE_LEVELCHOOSER_PLANETSPOT2)                                                                 \
    X(Image, IMAGE_LEVELCHOOSER_PLANETSPOT3)                                                                 \
    X(Image, IMAGE_LEVELCHOOSER_PLANETSPOT4)                                                                 \
    X(Image, IMAGE_LEVELCHOOSER_PLANETSPOT5)                                                                 \
    X(Image, IMAGE_LEVELCHOOSER_PLANETSPOT6)                                                                 \
    X(Image, IMAGE_LEVELCHOOSER_PLANETSPOT7)                                                                 \
    X(Image, IMAGE_LEVELCHOOSER_PLANETSPOT8)                                                                 \
    X(Image, IMAGE_LEVELCHOOSER_PLANETSPOT9)                                                                 \
    X(Image, IMAGE_MAINMENUBTN_HILIGHT)                                                                      \
    X(Image, IMAGE_MAINMENU_BACKGROUND)                                                                      \
    X(Image, IMAGE_MAINMENU_FLOAT)                                                                           \
    X(Image, IMAGE_MAINMENU_OVERLAY)                                                                         \
    X(Image, IMAGE_MENU_ARROW)                                                                               \
    X(Image, IMAGE_MENU_PLANET)                                                                              \
    X(Image, IMAGE_PIECES)                                                                                   \
    X(Image, IMAGE_PIECESEXPLODING)                                                                          \
    X(Image, IMAGE_PIECES_MINI)                                                                              \
    X(Image, IMAGE_SLIDER_THUMB)                                                                             \
    X(Image, IMAGE_SLIDER_TRACK)                                                                             \
    X(Image, IMAGE_SUPERNOVA)                                                                                \
    X(Image, IMAGE_TIMELEFT_BAR)                                                                             \
    X(Image, IMAGE_TOPTEN_DOWN_ARROW)                                                                        \
    X(Image, IMAGE_TOPTEN_LEFT_ARROW)                                                                        \
    X(Image, IMAGE_TOPTEN_OVERLAY)                                                                           \
    X(Image, IMAGE_TOPTEN_RIGHT_ARROW)                                                                       \
    X(Image, IMAGE_TOPTEN_UP_ARROW)                                                                          \
    X(Image, IMAGE_TUTORIAL)                                                                                 \
    X(Image, IMAGE_TUTORIAL_BOX)                                                                             \
    X(Image, IMAGE_TUTORIAL_BOX_ARROW)                                                                       \
    X(Image, IMAGE_TUTORIAL_BOX_LONG_ARROW)                                                                  \
    X(Image, IMAGE_TUTORIAL_CLICK)                                                                           \
    X(Image, IMAGE_TUTORIAL_MOUSECURSOR)                                                                     \
    X(Image, IMAGE_WILDCARD)                                                                                 \
    X(Sound, SOUND_BLACKHOLE_GROW)                                                                           \
    X(Sound, SOUND_BLACKHOLE_STOPPED)                                                                        \
    X(Sound, SOUND_BONUS)                                                                                    \
    X(Sound, SOUND_FADEIN)                                                                                   \
    X(Sound, SOUND_GAMEOVER)                                                                                 \
    X(Sound, SOUND_GOODMOVE1)                                                                                \
    X(Sound, SOUND_GOODMOVE10)                                                                               \
    X(Sound, SOUND_GOODMOVE2)                                                                                \
    X(Sound, SOUND_GOODMOVE3)                                                                                \
    X(Sound, SOUND_GOODMOVE4)                                                                                \
    X(Sound, SOUND_GOODMOVE5)                                                                                \
    X(Sound, SOUND_GOODMOVE6)                                                                                \
    X(Sound, SOUND_GOODMOVE7)                                                                                \
    X(Sound, SOUND_GOODMOVE8)                                                                                \
    X(Sound, SOUND_GOODMOVE9)                                                                                \
    X(Sound, SOUND_LEVELFINISHED)                                                                            \
    X(Sound, SOUND_LEVELUP)                                                                                  \
    X(Sound, SOUND_LONGCHAIN)                                                                                \
    X(Sound, SOUND_NORMALMOVE)                                                                               \
    X(Sound, SOUND_SUPERNOVA)                                                                                \
    X(Sound, SOUND_SUPERNOVA_EXPLODE)                                                                        \
    X(Sound, SOUND_TICKTOCK)                                                                                 \
    X(Sound, SOUND_YOUWIN)                                                                                   \
    X(Sound, SOUND_ZOOMIN)                                                                                   \
    X(Sound, SOUND_ZOOMOUT)

#define KAVO_DECLARE_RESOURCE_ID(kind, id) extern kind##Resource id;
KAVO_INIT_RESOURCES(KAVO_DECLARE_RESOURCE_ID)
KAVO_TITLESCREEN_RESOURCES(KAVO_DECLARE_RESOURCE_ID)
KAVO_GAME_RESOURCES(KAVO_DECLARE_RESOURCE_ID)
#undef KAVO_DECLARE_RESOURCE_ID

// Bind the ids of one group, in the order above, from the resource manager's loaded objects.
// True when every id was found; at the first missing id the binding stops and returns false,
// the ids bound before it keeping their new values and the rest their old ones.
bool ExtractInitResources(ResourceManager* manager);
bool ExtractTitleScreenResources(ResourceManager* manager);
bool ExtractGameResources(ResourceManager* manager);

// The same ids as data, for the programs that write and check the manifest: each group's name
// in the manifest and its ids in binding order, each with its kind.
enum class ResourceKind
{
    Image,
    Font,
    Sound,
};

struct ResourceIdEntry
{
    const char* id;
    ResourceKind kind;
};

#define KAVO_RESOURCE_ID_ENTRY(kind, id) ResourceIdEntry{#id, ResourceKind::kind},
inline constexpr ResourceIdEntry kInitResourceIds[] = {KAVO_INIT_RESOURCES(KAVO_RESOURCE_ID_ENTRY)};
inline constexpr ResourceIdEntry kTitleScreenResourceIds[] = {
    KAVO_TITLESCREEN_RESOURCES(KAVO_RESOURCE_ID_ENTRY)};
inline constexpr ResourceIdEntry kGameResourceIds[] = {KAVO_GAME_RESOURCES(KAVO_RESOURCE_ID_ENTRY)};
#undef KAVO_RESOURCE_ID_ENTRY

struct ResourceIdGroup
{
    const char* name;
    const ResourceIdEntry* begin;
    const ResourceIdEntry* end;
};

inline constexpr ResourceIdGroup kResourceIdGroups[] = {
    {"Init", std::begin(kInitResourceIds), std::end(kInitResourceIds)},
    {"TitleScreen", std::begin(kTitleScreenResourceIds), std::end(kTitleScreenResourceIds)},
    {"Game", std::begin(kGameResourceIds), std::end(kGameResourceIds)},
};

} // namespace Kavo
