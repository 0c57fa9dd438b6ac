#include "script/PScriptManager.h"

#include <utility>

#include "core/PFile.h"
#include "core/PTextReader.h"
#include "core/Fields.h"
#include "core/PTokenizer.h"
#include "core/TextHelpers.h"

namespace {

constexpr size_t kBuckets = 100;

int32_t TypeFromName(const std::string& type) {
    if (type == "t_system") return 3;
    if (type == "t_level") return 1;
    if (type == "t_interface") return 2;
    return 0;
}

// The next non-empty field: runs of blanks separate fields like one blank.
bool NextField(CPTokenizer& tokenizer, std::string& field) {
    while (tokenizer.NextToken(field)) {
        if (!field.empty()) return true;
    }
    return false;
}

}  // namespace

CPScriptManager::CPScriptManager() : m_byName(kBuckets), m_byCategory(kBuckets) {}

CPScriptManager::~CPScriptManager() {
    for (auto& [name, script] : m_byName) script->PostReleaseAll();
    m_byCategory.clear();
    m_byName.clear();
}

bool CPScriptManager::LoadList() {
    m_unreadableScript.clear();
    CPFile file(kScriptListPath);
    if (file.Load() < 0) return false;
    CPTextReader reader(file.GetData(), file.GetSize());
    std::string line;
    while (reader.ReadLine(line)) {
        if (!LoadLine(line)) return false;
    }
    return true;
}

bool CPScriptManager::LoadLine(const std::string& line) {
    CPTokenizer tokenizer(line, " ", true);
    std::string name;
    std::string type;
    NextField(tokenizer, name);
    NextField(tokenizer, type);
    StrToLower(name);

    TPtr<CPLuaScript> script(new CPLuaScript);
    script->SetType(TypeFromName(type));
    if (script->Load(name) < 0) {
        m_unreadableScript = "Data\\Scripts\\" + name + ".lua";
        return false;
    }
    m_byName[name] = script;

    std::string category;
    while (NextField(tokenizer, category)) m_byCategory[StrToLower(category)].push_back(script);
    return true;
}

TPtr<CPLuaScript> CPScriptManager::GetScript(const std::string& name) const {
    const auto found = m_byName.find(name);
    return found == m_byName.end() ? nullptr : found->second;
}

const CPScriptCommand& CPScriptManager::MakeCommand(std::string_view command, std::string_view params) {
    m_command.command = command;
    SplitFieldsInto(params, ",", m_command.params);
    return m_command;
}

void CPScriptManager::Deliver(CPLuaScript& script, const CPScriptCommand& command) {
    if (!script.IsRunning() || script.GetQueueLength() > kQueueLimit) return;
    script.PushCommand(command);
}

void CPScriptManager::SendCommandByName(std::string_view name, std::string_view command, std::string_view params) {
    const auto found = m_byName.find(name);
    if (found == m_byName.end()) return;
    Deliver(*found->second, MakeCommand(command, params));
}

void CPScriptManager::SendCommandByCategory(std::string_view category, std::string_view command,
                                            std::string_view params) {
    const auto found = m_byCategory.find(category);
    if (found == m_byCategory.end()) return;
    const CPScriptCommand& made = MakeCommand(command, params);
    for (const TPtr<CPLuaScript>& script : found->second) Deliver(*script, made);
}

void CPScriptManager::SendCommandByObject(TPtr<CPLuaScript> script, std::string_view command,
                                          std::string_view params) {
    if (!script) return;
    Deliver(*script, MakeCommand(command, params));
}
