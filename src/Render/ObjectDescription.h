#pragma once
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

// The properties of one node of an object description: key → value, both lower-cased.
using PropertyMap = std::unordered_map<std::string, std::string>;

// An object description (.rdf), read from its text:
// - the first line is "key = value"; only the value counts: a mesh file name, or "anim" followed
//   by ";"-separated "animation name,file name" items;
// - "[name]" starts the properties of the node of that name (lower-cased); a name may have more
//   than one section, later keys replace earlier ones;
// - "key = value" lines: both lower-cased; "sprite", "light" and "psystem" (any number, kept in
//   file order) and "scale" and "speed" (the last wins) belong to the whole object wherever they
//   stand; any other key belongs to the current section and is ignored before the first one.
//   A "scale" or "speed" line whose number is not finite is left out with a log line.
struct SPObjectDescription {
    // The file it was read from, for the log.
    std::string path;
    std::string value;
    std::unordered_map<std::string, PropertyMap> properties;
    std::vector<std::string> sprites;
    std::vector<std::string> lights;
    std::vector<std::string> emitters;
    float scale = 1.0f;
    float speed = 1.0f;

    // The node's properties; an empty map for a name without a section.
    const PropertyMap& PropertiesOf(const std::string& nodeName) const;
};

// Reads a description from its text (comments and blanks as CPTextReader removes them); path
// names the file in the log.
SPObjectDescription ParseObjectDescription(const char* text, size_t size, const std::string& path);
