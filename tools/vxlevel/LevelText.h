#pragma once
#include <string>

#include "game/LevelFile.h"

// A level file as text, one item a line, fields separated by blanks, "//" starting a comment:
//
//   size <half width> <half depth>
//   light <colour RRGGBB in hex> <12 floats: a 3 x 4 matrix column by column>
//   object <name> <x> <y> <z> <quaternion x> <y> <z> <w>
//
// size comes once; light at most once (the first light; without it the file has no light);
// objects in file order. A name is a word without blanks or "//", or any bytes in double quotes,
// where \" is a quote, \\ a backslash and \xHH the byte of two hex digits ("" is the empty name).
// What the game reads and nothing else: the two header floats and the three ignored floats of
// each record are written as 0.
namespace vxlevel {

// False with "line N: ..." in error for a line it cannot read, a missing or second size line, a
// second light line, or a level the game would refuse (ReadLevelFile).
bool ParseLevelText(const std::string& text, SPLevelFile& level, std::string& error);

// The text of a level file in the form above, each float written so that it reads back to the
// same value and each name quoted when it would not read back as a word; ParseLevelText of it
// gives the same file (but for the ignored floats).
std::string FormatLevelText(const SPLevelFile& level);

}  // namespace vxlevel
