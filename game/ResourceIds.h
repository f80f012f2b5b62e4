#pragma once

#include <iterator>

// The game's resource ids, group by group, in the order they are bound after the group has
// loaded: images (IMAGE_), fonts (FONT_) and sounds (SOUND_) of the resource manifest
// "properties\resources.xml". The art generator writes the manifest from these tables and the
// content checks hold the manifest to them.
namespace Kavo::ResourceIds
{

enum class Kind
{
    Image,
    Font,
    Sound,
};

struct Entry
{
    const char* id;
    Kind kind;
};

inline constexpr Entry kInitGroup[] = {
    {"FONT_LABEL", Kind::Font},
    {"IMAGE_COMPLETION_STAR1", Kind::Image},
    {"IMAGE_COMPLETION_STAR2", Kind::Image},
};

inline constexpr Entry kTitleScreenGroup[] = {
    {"IMAGE_LOADER_BACKGROUND", Kind::Image}, {"IMAGE_LOADER_LOGO", Kind::Image},
    {"IMAGE_LOADER_MOON", Kind::Image},       {"IMAGE_LOADER_PLANET", Kind::Image},
    {"IMAGE_VELQUIS", Kind::Image},           {"IMAGE_PUBLISHER", Kind::Image},
    {"IMAGE_SPLASH1", Kind::Image},           {"IMAGE_SPLASH2", Kind::Image},
    {"IMAGE_SPLASH3", Kind::Image},
};

inline constexpr Entry kGameGroup[] = {
    {"FONT_EXCITED", Kind::Font},
    {"FONT_FLOATYNUMBER", Kind::Font},
    {"FONT_NUMBER", Kind::Font},
    {"FONT_SEGUE", Kind::Font},
    {"FONT_SMALLTEXT", Kind::Font},
    {"FONT_TEXT", Kind::Font},
    {"IMAGE_BLACKHOLE", Kind::Image},
    {"IMAGE_BONUS", Kind::Image},
    {"IMAGE_CHALLENGEGRID_BACKGROUND", Kind::Image},
    {"IMAGE_CHALLENGEGRID_BUTTON", Kind::Image},
    {"IMAGE_CHALLENGEGRID_BUTTONLOCKED", Kind::Image},
    {"IMAGE_CHALLENGEGRID_STARS", Kind::Image},
    {"IMAGE_CHECKBOX", Kind::Image},
    {"IMAGE_COMBO", Kind::Image},
    {"IMAGE_COMPLETION_INDICATOR", Kind::Image},
    {"IMAGE_COMPLETION_METER", Kind::Image},
    {"IMAGE_DIALOG_BOX", Kind::Image},
    {"IMAGE_DIALOG_BUTTON", Kind::Image},
    {"IMAGE_EXAMPLE_BONUS", Kind::Image},
    {"IMAGE_FRAME_BOTTOM_BUBBLE", Kind::Image},
    {"IMAGE_FRAME_BOTTOM_FULL", Kind::Image},
    {"IMAGE_FRAME_BOTTOM_PARTIAL", Kind::Image},
    {"IMAGE_FRAME_LEFT_FULL", Kind::Image},
    {"IMAGE_FRAME_LEFT_MAINMENU_BTN", Kind::Image},
    {"IMAGE_FRAME_LEFT_PARTIAL", Kind::Image},
    {"IMAGE_FRAME_RIGHT_FULL", Kind::Image},
    {"IMAGE_FRAME_TOP_SHADED", Kind::Image},
    {"IMAGE_FRAME_TOP_SHADED_GAME", Kind::Image},
    {"IMAGE_GLOWYBOX_BOTTOMRIGHTCORNER", Kind::Image},
    {"IMAGE_GLOWYBOX_LEFTRIGHTPIXEL", Kind::Image},
    {"IMAGE_GLOWYBOX_UPDOWNPIXEL", Kind::Image},
    {"IMAGE_GLOWYBOX_UPLEFTCORNER", Kind::Image},
    {"IMAGE_GRID_CROSSBEAM", Kind::Image},
    {"IMAGE_GRID_SQUARE", Kind::Image},
    {"IMAGE_LEVELCHOOSER_BACKGROUND", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANET1", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANET10", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANET11", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANET12", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANET2", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANET3", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANET4", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANET5", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANET6", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANET7", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANET8", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANET9", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANETSPOT1", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANETSPOT10", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANETSPOT11", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANETSPOT12", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANETSPOT2", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANETSPOT3", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANETSPOT4", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANETSPOT5", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANETSPOT6", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANETSPOT7", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANETSPOT8", Kind::Image},
    {"IMAGE_LEVELCHOOSER_PLANETSPOT9", Kind::Image},
    {"IMAGE_MAINMENUBTN_HILIGHT", Kind::Image},
    {"IMAGE_MAINMENU_BACKGROUND", Kind::Image},
    {"IMAGE_MAINMENU_FLOAT", Kind::Image},
    {"IMAGE_MAINMENU_OVERLAY", Kind::Image},
    {"IMAGE_MENU_ARROW", Kind::Image},
    {"IMAGE_MENU_PLANET", Kind::Image},
    {"IMAGE_PIECES", Kind::Image},
    {"IMAGE_PIECESEXPLODING", Kind::Image},
    {"IMAGE_PIECES_MINI", Kind::Image},
    {"IMAGE_SLIDER_THUMB", Kind::Image},
    {"IMAGE_SLIDER_TRACK", Kind::Image},
    {"IMAGE_SUPERNOVA", Kind::Image},
    {"IMAGE_TIMELEFT_BAR", Kind::Image},
    {"IMAGE_TOPTEN_DOWN_ARROW", Kind::Image},
    {"IMAGE_TOPTEN_LEFT_ARROW", Kind::Image},
    {"IMAGE_TOPTEN_OVERLAY", Kind::Image},
    {"IMAGE_TOPTEN_RIGHT_ARROW", Kind::Image},
    {"IMAGE_TOPTEN_UP_ARROW", Kind::Image},
    {"IMAGE_TUTORIAL", Kind::Image},
    {"IMAGE_TUTORIAL_BOX", Kind::Image},
    {"IMAGE_TUTORIAL_BOX_ARROW", Kind::Image},
    {"IMAGE_TUTORIAL_BOX_LONG_ARROW", Kind::Image},
    {"IMAGE_TUTORIAL_CLICK", Kind::Image},
    {"IMAGE_TUTORIAL_MOUSECURSOR", Kind::Image},
    {"IMAGE_WILDCARD", Kind::Image},
    {"SOUND_BLACKHOLE_GROW", Kind::Sound},
    {"SOUND_BLACKHOLE_STOPPED", Kind::Sound},
    {"SOUND_BONUS", Kind::Sound},
    {"SOUND_FADEIN", Kind::Sound},
    {"SOUND_GAMEOVER", Kind::Sound},
    {"SOUND_GOODMOVE1", Kind::Sound},
    {"SOUND_GOODMOVE10", Kind::Sound},
    {"SOUND_GOODMOVE2", Kind::Sound},
    {"SOUND_GOODMOVE3", Kind::Sound},
    {"SOUND_GOODMOVE4", Kind::Sound},
    {"SOUND_GOODMOVE5", Kind::Sound},
    {"SOUND_GOODMOVE6", Kind::Sound},
    {"SOUND_GOODMOVE7", Kind::Sound},
    {"SOUND_GOODMOVE8", Kind::Sound},
    {"SOUND_GOODMOVE9", Kind::Sound},
    {"SOUND_LEVELFINISHED", Kind::Sound},
    {"SOUND_LEVELUP", Kind::Sound},
    {"SOUND_LONGCHAIN", Kind::Sound},
    {"SOUND_NORMALMOVE", Kind::Sound},
    {"SOUND_SUPERNOVA", Kind::Sound},
    {"SOUND_SUPERNOVA_EXPLODE", Kind::Sound},
    {"SOUND_TICKTOCK", Kind::Sound},
    {"SOUND_YOUWIN", Kind::Sound},
    {"SOUND_ZOOMIN", Kind::Sound},
    {"SOUND_ZOOMOUT", Kind::Sound},
};

static_assert(std::size(kInitGroup) == 3 && std::size(kTitleScreenGroup) == 9 &&
              std::size(kGameGroup) == 109);

// A group's name in the manifest and its table.
struct Group
{
    const char* name;
    const Entry* begin;
    const Entry* end;
};

inline constexpr Group kGroups[] = {
    {"Init", std::begin(kInitGroup), std::end(kInitGroup)},
    {"TitleScreen", std::begin(kTitleScreenGroup), std::end(kTitleScreenGroup)},
    {"Game", std::begin(kGameGroup), std::end(kGameGroup)},
};

} // namespace Kavo::ResourceIds
