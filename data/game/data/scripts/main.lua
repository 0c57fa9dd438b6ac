-- The game's first script: it runs until the window is closed or Escape is typed.
-- When the environment variable VX_FRAMES holds a number, it ends the game after that many
-- frames (the tests use it).
-- While models cannot be loaded yet, the program hands it a sample scene ("sample_scene": the
-- scene's handle and its cube's), which it shows with the cube turning a little every frame.

local frameLimit = tonumber(os.getenv("VX_FRAMES") or "")
local frames = 0
local scene = nil
local cube = nil

-- Music from the start (a second track fades in after a while) and a bang to be heard.
PlayMusic("track1.ogg")
PlaySpecialSound("big_exp")

local function HandleCommand(command, first, second)
    if command == "key" and first == "27" then
        KillAllTasks()
    elseif command == "sample_scene" then
        scene = StringToPointer(first)
        cube = StringToPointer(second)
    end
end

while true do
    while SetNextCommand(globalObject) do
        HandleCommand(GetCurrentCommand(globalObject), GetCurrentParams(globalObject))
    end
    frames = frames + 1
    if frames == 900 then
        PlayMusic("track2.ogg")
    end
    if scene then
        SetPTransformation(cube, 0, 0, 0, 0, 0, frames * 0.02)
        DrawDynamicObject(scene)
    end
    if frameLimit and frames >= frameLimit then
        KillAllTasks()
    end
    Update()
end
