#pragma once

#include <string>

// Where the content checks find the game's files: data/ as written, the generated content, and the
// game program's folder (main.pak, the loose files).
namespace ShippedData
{
inline std::string SourceData()
{
    return std::string(KAVO_SOURCE_DIR) + "/data/";
}
inline std::string GeneratedContent()
{
    return std::string(KAVO_BINARY_DIR) + "/content/";
}
inline std::string GameFolder()
{
    return std::string(KAVO_BINARY_DIR) + "/game/";
}
} // namespace ShippedData
