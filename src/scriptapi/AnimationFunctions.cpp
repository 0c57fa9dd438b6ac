#include "scriptapi/AnimationFunctions.h"

#include <lua.hpp>

#include "Render/PAnimationRequest.h"
#include "Render/PGameObject.h"
#include "script/ScriptNumbers.h"
#include "script/PLuaScript.h"
#include "script/ScriptHandles.h"
#include "scriptapi/ScriptArguments.h"

int ScriptStartAnimation(lua_State* state) {
    CPGameObject* object = ToObject<CPGameObject>(state, 1);
    SPAnimationRequest request;
    if (!object || !TextArgument(state, 2, request.name)) return 0;
    request.loops = IntArgument(state, 3);
    request.listener = TPtr<CPLuaScript>(ToObject<CPLuaScript>(state, 4));
    object->PlayAnimation(request, false);
    return 0;
}
