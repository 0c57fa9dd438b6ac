#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Render/ModelFile.h"

// The two kinds of animation file, from sources an author can write by hand.
namespace vxmodel {

// A vertex-animated file of one node from a converted OBJ: every node of frames (each OBJ object
// or group, in file order) is one frame; frameTicks is the frame time in 1/2400 s.
bool BuildAnimatedFile(const modelfile::SPMeshFile& frames, const std::string& nodeName, float frameTicks,
                       modelfile::SPAnimatedFile& file, std::string& error);

// A part-animation file from text. One item a line, '#' starts a comment:
//
//   part <name>
//   key <seconds to the next key> <turn about z in degrees> [x y z]
//
// Each key is the turn followed by the move; a part needs at least three keys.
bool BuildPartAnimationFile(const std::string& text, std::vector<uint8_t>& bytes, std::string& error);

}  // namespace vxmodel
