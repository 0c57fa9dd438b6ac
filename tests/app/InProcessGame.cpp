#include "InProcessGame.h"

#include <string>

#include "Render/PRender.h"
#include "app/Application.h"
#include "core/PKernel.h"
#include "core/PSettings.h"

namespace apptest {

::testing::AssertionResult OpenWindowWithRenderer(CPApplication& application, TPtr<CPRender>& render) {
    GetSettings()->Load("config.cfg");
    std::string error;
    if (application.CreateAppWindow(true, 64, 48, "test", error) != 0) {
        return ::testing::AssertionFailure() << "no game window: " << error;
    }
    GetKernel()->SetWindow(application.GetWindow());
    render = new CPRender;
    render->SetPriority(10000);
    if (!GetKernel()->AddTask(render)) return ::testing::AssertionFailure() << "the renderer did not start";
    return ::testing::AssertionSuccess();
}

}  // namespace apptest
