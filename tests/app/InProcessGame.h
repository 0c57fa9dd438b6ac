#pragma once
#include <gtest/gtest.h>

#include "core/PSmartPointer.h"

class CPApplication;
class CPRender;

namespace apptest {

// For a game run inside the test process, after CPApplication::Init: reads config.cfg, opens a
// 64 × 48 game window (SDL's offscreen driver where the test sets it) and adds a renderer to the
// kernel at its priority, 10000.
::testing::AssertionResult OpenWindowWithRenderer(CPApplication& application, TPtr<CPRender>& render);

}  // namespace apptest
