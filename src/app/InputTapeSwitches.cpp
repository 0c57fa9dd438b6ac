#include "app/InputTapeSwitches.h"

#include <memory>
#include <utility>

#include "app/GameFileSwitch.h"
#include "core/PFile.h"
#include "core/PFileWriter.h"
#include "core/Result.h"
#include "platform/InputTape.h"

namespace {

bool LoadRecording(const std::string& path, platform::InputRecording& recording, std::string& error) {
    CPFile file(path);
    if (file.Load() != S_OK) {
        error = "VX_REPLAY: cannot read the recording " + path;
        return false;
    }
    std::string reason;
    if (platform::DecodeInputRecording(file.GetData(), static_cast<size_t>(file.GetSize()), recording, reason)) return true;
    error = "VX_REPLAY: " + path + " cannot be replayed: " + reason;
    return false;
}

}  // namespace

bool CPInputTapeSwitches::Read(std::string& error) {
    if (!ReadGameFileSwitch("VX_RECORD", m_recordPath, error) || !ReadGameFileSwitch("VX_REPLAY", m_replayPath, error)) return false;
    if (!m_recordPath.empty() && !m_replayPath.empty()) {
        error = "VX_RECORD and VX_REPLAY exclude each other";
        return false;
    }
    if (!m_replayPath.empty()) return LoadRecording(m_replayPath, m_replay, error);
    if (!m_recordPath.empty() && !CPFileWriter::CanSave(m_recordPath)) {
        error = "VX_RECORD: cannot write the recording " + m_recordPath;
        return false;
    }
    return true;
}

std::optional<unsigned int> CPInputTapeSwitches::RecordedSeed() const {
    if (m_replayPath.empty()) return std::nullopt;
    return m_replay.seed;
}

void CPInputTapeSwitches::Start(unsigned int seed) {
    platform::InputTape& tape = platform::GetInputTape();
    if (!m_replayPath.empty()) {
        tape.StartReplay(std::move(m_replay));
    } else if (!m_recordPath.empty()) {
        m_recording = std::make_unique<CPGrowingFile>(m_recordPath);
        tape.StartRecording(seed, this);
    }
}

void CPInputTapeSwitches::Write(const std::vector<uint8_t>& bytes) { m_recording->Append(bytes); }

bool CPInputTapeSwitches::FinishRecording(std::string& error) {
    if (!m_recording) return true;
    platform::GetInputTape().FlushRecording();
    platform::GetInputTape().Stop();
    if (m_recording->Close()) return true;
    error = "cannot write the input recording to " + m_recordPath;
    return false;
}
