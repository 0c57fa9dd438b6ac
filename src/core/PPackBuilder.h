#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Builds a data pack (format in PPack.h) from files given by their paths below one root folder.
// Children are stored in name order, so the same files always give the same pack.
class CPPackBuilder {
public:
    // rootName: the name of the root folder, the first component of every path in the pack.
    explicit CPPackBuilder(const std::string& rootName);

    // Adds a file at a path below the root ('\' or '/' between names). False when the path is
    // empty or a name on it is already taken by a file where a folder is needed, or the reverse.
    bool AddFile(const std::string& path, const std::vector<uint8_t>& data);

    // The pack file's bytes; false when the bodies exceed what the format can address.
    bool Build(std::vector<uint8_t>& pack) const;

private:
    struct Node {
        bool isFile = false;
        std::vector<uint8_t> data;
        std::map<std::string, Node> children;
    };

    static void WriteEntry(const std::string& name, const Node& node, std::vector<uint8_t>& index,
                           std::vector<uint8_t>& bodies);

    std::string m_rootName;
    Node m_root;
};
