#include "core/PPackBuilder.h"

#include <limits>

#include "core/PPack.h"
#include "core/Scramble.h"

namespace {

void AppendUInt(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

std::vector<std::string> SplitNames(const std::string& path)
{
    std::vector<std::string> names;
    std::string name;
    for (char c : path) {
        if (c != '\\' && c != '/') {
            name += c;
        } else if (!name.empty()) {
            names.push_back(name);
            name.clear();
        }
    }
    if (!name.empty()) names.push_back(name);
    return names;
}

}  // namespace

CPPackBuilder::CPPackBuilder(const std::string& rootName) : m_rootName(rootName) {}

bool CPPackBuilder::AddFile(const std::string& path, const std::vector<uint8_t>& data)
{
    const std::vector<std::string> names = SplitNames(path);
    if (names.empty()) return false;
    Node* folder = &m_root;
    for (size_t i = 0; i + 1 < names.size(); ++i) {
        folder = &folder->children[names[i]];
        if (folder->isFile) return false;
    }
    Node& file = folder->children[names.back()];
    if (!file.children.empty()) return false;
    file.isFile = true;
    file.data = data;
    return true;
}

void CPPackBuilder::WriteEntry(const std::string& name, const Node& node, std::vector<uint8_t>& index,
                               std::vector<uint8_t>& bodies)
{
    AppendUInt(index, static_cast<uint32_t>(name.size()));
    index.insert(index.end(), name.begin(), name.end());
    if (node.isFile) {
        AppendUInt(index, static_cast<uint32_t>(bodies.size()));
        AppendUInt(index, static_cast<uint32_t>(node.data.size()));
        AppendUInt(index, 0);
        std::vector<uint8_t> body = node.data;
        Scramble(body);
        bodies.insert(bodies.end(), body.begin(), body.end());
        return;
    }
    AppendUInt(index, static_cast<uint32_t>(-1));
    AppendUInt(index, 0);
    AppendUInt(index, static_cast<uint32_t>(node.children.size()));
    for (const auto& [childName, child] : node.children) WriteEntry(childName, child, index, bodies);
}

bool CPPackBuilder::Build(std::vector<uint8_t>& pack) const
{
    std::vector<uint8_t> index;
    std::vector<uint8_t> bodies;
    WriteEntry(m_rootName, m_root, index, bodies);
    if (bodies.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return false;
    Scramble(index);

    pack.clear();
    AppendUInt(pack, kPackMagic);
    AppendUInt(pack, static_cast<uint32_t>(index.size()));
    pack.insert(pack.end(), index.begin(), index.end());
    pack.insert(pack.end(), bodies.begin(), bodies.end());
    return true;
}
