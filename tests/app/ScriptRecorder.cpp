#include "ScriptRecorder.h"

#include <algorithm>
#include <sstream>

namespace apptest {
namespace {

constexpr char kRecorder[] = R"lua(local events = io.open('events.log', 'a')
local function RecordForTest(...)
  local fields = {...}
  for i = 1, table.getn(fields) do fields[i] = tostring(fields[i]) end
  events:write(table.concat(fields, ',') .. '\n')
  events:flush()
end
)lua";
constexpr char kTextRecorder[] = R"lua(local ShowText = SetText
SetText = function(screen, name, text)
  RecordForTest('text', name, text)
  ShowText(screen, name, text)
end
local ShowTextString = SetTextString
SetTextString = function(screen, name, key)
  RecordForTest('text', name, GetString(key))
  ShowTextString(screen, name, key)
end
)lua";
constexpr char kHandler[] = "local function HandleCommand(command, first";

}  // namespace

bool RecordScripts(const WorkingFolder& folder, const std::vector<std::string>& scripts,
                   const std::vector<std::string>& showingTexts, std::string& error) {
    for (const std::string& script : scripts) {
        const std::string path = "data/scripts/" + script + ".lua";
        std::string text = ReadBytes(folder.Path() / path);
        const size_t handler = text.find(kHandler);
        if (handler == std::string::npos) {
            error = path + " has no HandleCommand";
            return false;
        }
        text.insert(text.find('\n', handler) + 1, "    RecordForTest('" + script + "', command, first, second)\n");
        const bool texts = std::find(showingTexts.begin(), showingTexts.end(), script) != showingTexts.end();
        folder.Write(path, kRecorder + (texts ? kTextRecorder + text : text));
    }
    return true;
}

std::vector<std::string> RecordedLines(const WorkingFolder& folder) {
    std::vector<std::string> lines;
    std::istringstream text(ReadBytes(folder.Path() / "events.log"));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

}  // namespace apptest
