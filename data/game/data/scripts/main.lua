-- The game's first script: it runs until the window is closed or Escape is typed.
-- When the environment variable VX_FRAMES holds a number, it ends the game after that many
-- frames (the tests use it).

local frameLimit = tonumber(os.getenv("VX_FRAMES") or "")
local frames = 0

local function HandleCommand(command, param)
    if command == "key" and param == "27" then
        KillAllTasks()
    end
end

while true do
    while SetNextCommand(globalObject) do
        HandleCommand(GetCurrentCommand(globalObject), GetCurrentParams(globalObject))
    end
    frames = frames + 1
    if frameLimit and frames >= frameLimit then
        KillAllTasks()
    end
    Update()
end
