#include "app/GameStateDump.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <utility>

#include "AI/AIManager.h"
#include "AI/AI_Entity.h"
#include "AI/AI_Task.h"
#include "core/PFileWriter.h"
#include "core/PGlobalTimer.h"
#include "core/Result.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "game/PPlayerCar.h"
#include "platform/Random.h"

CPGameStateDump::CPGameStateDump(std::string path) : m_path(std::move(path)) {}

void CPGameStateDump::Update() {
    if (GetLevel()) Take();
}

const std::string& CPGameStateDump::Snapshot() {
    if (!m_levelSeen) Take();
    return m_text;
}

bool CPGameStateDump::Write() {
    const std::string& text = Snapshot();
    CPFileWriter writer(m_path);
    writer.Write(text.data(), static_cast<int32_t>(text.size()));
    return writer.Save() == S_OK;
}

void CPGameStateDump::Append(const char* format, ...) {
    char line[256];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(line, sizeof(line), format, arguments);
    va_end(arguments);
    if (length > 0) m_text.append(line, std::min(static_cast<size_t>(length), sizeof(line) - 1));
}

void CPGameStateDump::Take() {
    m_text.clear();
    Append("frame %d %.17g random %u\n", g_frameCounter, g_totalTime, platform::RandState());
    if (const CPGameData* data = GetGameData()) {
        Append("money %.9g score %d mission %d\n", static_cast<double>(data->money), data->score, data->mission);
    }
    const CPLevel* level = GetLevel();
    const auto* car = level ? dynamic_cast<const CPPlayerCar*>(level->playerCar.Get()) : nullptr;
    if (!car) {
        Append("car none\n");
        return;
    }
    m_levelSeen = true;
    const PVector3& at = car->GetPosition();
    Append("car %.9g %.9g %.9g health %.9g\n", at.x, at.y, at.z, static_cast<double>(car->health));
    const AI_Task* ai = GetAITask();
    if (!ai) return;
    for (const TPtr<AI_Entity>& enemy : ai->Manager().Entities()) {
        const PVector3& position = enemy->position;
        Append("enemy %.64s %.9g %.9g %.9g health %.9g\n", enemy->kindName.c_str(), position.x, position.y, position.z,
               static_cast<double>(enemy->health));
    }
}
