#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Render/PParticlesManager.h"
#include "core/PGlobalTimer.h"
#include "core/PMMObject.h"
#include "support/LogCapture.h"
#include "support/WorkingFolder.h"

// A particle manager in a fresh working folder whose Data holds the definition files a test
// writes; the frame delta is set by the test and put back afterwards.
class ParticlesTest : public ::testing::Test {
protected:
    void SetUp() override { m_savedDelta = g_frameDelta; }

    void TearDown() override {
        m_manager.Reset();
        g_frameDelta = m_savedDelta;
        CollectGarbage();
    }

    void WriteData(const std::string& file, const std::string& text) { m_folder.Write("Data/" + file, text); }

    // Writes the four files (an empty text leaves that file out) and starts a manager on them;
    // the log of the start goes to log.
    bool StartManager(const std::string& particles, const std::string& spots, const std::string& emitters,
                      const std::string& flames, std::string* log = nullptr) {
        const std::pair<const char*, const std::string*> files[] = {
            {"particles.dat", &particles}, {"spots.dat", &spots}, {"particlesystems.dat", &emitters},
            {"flames.dat", &flames}};
        for (const auto& [name, text] : files) {
            if (!text->empty()) WriteData(name, *text);
        }
        m_manager = new CPParticlesManager;
        bool started = false;
        const std::string captured = testsupport::LogOf([&] { started = m_manager->Start(); });
        if (log) *log = captured;
        return started;
    }

    // One frame of dt seconds of the manager's pass.
    void Frame(float dt) {
        g_frameDelta = dt;
        m_manager->Update();
    }

    CPParticlesManager& Manager() { return *m_manager; }

    testsupport::WorkingFolder m_folder;
    TPtr<CPParticlesManager> m_manager;
    float m_savedDelta = 0.0f;
};

// A spawn request for the template.
inline CPParticleSpawnInfo Request(const std::string& name, float life, const PVector3& position = {0, 0, 0}) {
    CPParticleSpawnInfo info;
    info.name = name;
    info.life = life;
    info.size = 1.0f;
    info.position = position;
    return info;
}
