#pragma once

#include <string>
#include <vector>

namespace Art
{

// Draws every image of the written manifest (read back from the content folder through the
// framework's readers), labelled with its id, size and cel grid, then the other pictures given
// by path and a line of every font, into one PNG for review.
bool DrawContactSheet(const std::string& contentDir, const std::vector<std::string>& fontDescriptions,
                      const std::vector<std::string>& extraPictures, const std::string& outPath);

} // namespace Art
