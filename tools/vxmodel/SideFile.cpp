#include "SideFile.h"

#include <charconv>
#include <sstream>

namespace vxmodel {

namespace {

bool ParseNumber(const std::string& text, float& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last;
}

bool ParseVector(const std::string& text, PVector3& value) {
    const size_t a = text.find(',');
    const size_t b = a == std::string::npos ? a : text.find(',', a + 1);
    if (b == std::string::npos) return false;
    return ParseNumber(text.substr(0, a), value.x) && ParseNumber(text.substr(a + 1, b - a - 1), value.y) &&
           ParseNumber(text.substr(b + 1), value.z);
}

// One "key=value" field into the matching member; false for an unknown key or a bad value.
class FieldReader {
public:
    explicit FieldReader(std::string& error) : m_error(error) {}

    bool Node(const std::string& key, const std::string& value, SideNode& node) {
        if (key == "parent") return (node.parent = value), true;
        if (key == "pivot") return Check(ParseVector(value, node.pivot), key);
        if (key == "mass") return Check(ParseNumber(value, node.mass), key);
        if (key == "body") return Check(node.hasBody = ParseVector(value, node.body), key);
        return Unknown(key);
    }

    bool Shape(const std::string& key, const std::string& value, SideShape& shape) {
        if (key == "size" && !shape.cylinder) return Check(ParseVector(value, shape.size), key);
        if (key == "height" && shape.cylinder) return Check(ParseNumber(value, shape.size.y), key);
        if (key == "diameter" && shape.cylinder) return Check(ParseNumber(value, shape.diameter), key);
        if (key == "at") return Check(ParseVector(value, shape.at), key);
        if (key == "turn" && !shape.cylinder) return Check(ParseNumber(value, shape.turnDegrees), key);
        if (key == "mass") return Check(ParseNumber(value, shape.mass), key);
        return Unknown(key);
    }

private:
    bool Check(bool ok, const std::string& key) {
        if (!ok) m_error = "the value of " + key + " is no number or x,y,z";
        return ok;
    }
    bool Unknown(const std::string& key) {
        m_error = "unknown field " + key;
        return false;
    }

    std::string& m_error;
};

bool ParseLine(const std::string& line, SideFile& side, std::string& error) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string kind;
    std::string name;
    if (!(words >> kind)) return true;
    if (!(words >> name)) {
        error = "a " + kind + " without a name";
        return false;
    }
    FieldReader reader(error);
    SideNode node;
    node.name = name;
    SideShape shape;
    shape.cylinder = kind == "cylinder";
    shape.node = name;
    if (kind != "node" && kind != "box" && kind != "cylinder") {
        error = "unknown item " + kind + " (node, box or cylinder)";
        return false;
    }
    std::string field;
    while (words >> field) {
        const size_t equals = field.find('=');
        if (equals == std::string::npos) {
            error = "a field without '=': " + field;
            return false;
        }
        const std::string key = field.substr(0, equals);
        const std::string value = field.substr(equals + 1);
        if (!(kind == "node" ? reader.Node(key, value, node) : reader.Shape(key, value, shape))) return false;
    }
    if (kind == "node") {
        side.nodes.push_back(node);
    } else {
        side.shapes.push_back(shape);
    }
    return true;
}

}  // namespace

const SideNode* SideFile::Find(const std::string& name) const {
    for (const SideNode& node : nodes) {
        if (node.name == name) return &node;
    }
    return nullptr;
}

bool ParseSideFile(const std::string& text, SideFile& side, std::string& error) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!ParseLine(line, side, error)) {
            error = "line " + std::to_string(number) + ": " + error;
            return false;
        }
    }
    return true;
}

}  // namespace vxmodel
