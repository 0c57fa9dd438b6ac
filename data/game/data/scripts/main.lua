-- The game's first script: it runs until the window is closed or Escape is typed.
-- When the environment variable VX_FRAMES holds a number, it ends the game after that many
-- frames (the tests use it).
-- When the environment variable VX_LEVEL names a level (the sample level is "level1"), it plays
-- that level: the car (its script "jeep") drives by the bound keys from check point to check
-- point; at the end the level is stopped and deleted. Otherwise it loads the sample scene from
-- object descriptions in Data\Meshes (a ground tile with its lamp and particle effects, a box
-- with a glow above it, a car, a walker that sways frame by frame and a fan whose blade keeps
-- turning) and shows it with the box turning a little every frame. Tab opens the main menu
-- (Data\Interface\menu1024.int, run by the script "menu"), which "Play" closes again; its "Keys"
-- shows the key screen (keys1024.int, run by the script "keys") until its "Back". Escape ends the
-- game, except on the key screen, where it may be the key being bound.

local frameLimit = tonumber(os.getenv("VX_FRAMES") or "")
local frames = 0

local levelName = os.getenv("VX_LEVEL")
if levelName and levelName ~= "" then
    -- A new player's car: the start set-up, committed as the set-up the level equips.
    InitPlayer()
    CommitCarSettings()
    InitLevel(levelName)
    StartLevel()
    local playing = true
    while playing do
        while SetNextCommand(globalObject) do
            local command, first = GetCurrentCommand(globalObject), GetCurrentParams(globalObject)
            if command == "key" and first == "27" then
                playing = false
            end
        end
        frames = frames + 1
        if frameLimit and frames >= frameLimit then
            playing = false
        end
        if playing then
            Update()
        end
    end
    StopLevel()
    DeleteLevel()
    KillAllTasks()
    return
end
local sceneLayer = 20
local land = LoadRenderObject("sample_ground.rdf", sceneLayer)
local box = LoadRenderObject("box.rdf", sceneLayer)
local car = LoadRenderObject("car.rdf", sceneLayer)
local walker = LoadRenderObject("walker.rdf", sceneLayer)
local fan = LoadRenderObject("fan.rdf", sceneLayer)
SetPTransformation(land, 0, 0, 0, 0, 0, 0)
ActivateObject(land, 200)  -- starts the ground's particle emitters
SetPTransformation(car, 1.7, 0.9, -1, 0, 0, 2.6)
SetPTransformation(walker, -0.4, 3, -1, 0, 0, 0)
SetPTransformation(fan, 0.7, 3, -1, 0, 0, 0)
-- The walker plays its "walk" endlessly; the fan's turn runs while it is active.
SetAnimation(walker, "walk", 1, 0, -1)
ActivateObject(fan, sceneLayer)

-- Music from the start (a second track fades in after a while) and a bang to be heard.
PlayMusic("track1.ogg")
PlaySpecialSound("big_exp")

local menu = CreateInterface("menu", 0)
local keys = CreateInterface("keys", 0)
local shown = nil  -- the screen drawn over the scene

local function Show(screen)
    if screen then
        ActivateInterface(screen)
    end
    shown = screen
end

local function HandleCommand(command, first, second)
    if command == "key" and first == "27" and shown ~= keys then
        KillAllTasks()
    elseif command == "key" and first == "9" and not shown then
        Show(menu)
    elseif command == "key" and shown == menu then
        SendCommandByName("menu", "key", first)
    elseif command == "menu_closed" then
        Show(nil)
    elseif command == "show_keys" then
        Show(keys)
    elseif command == "keys_closed" then
        Show(menu)
    elseif command == "release_all" then
        Release(land)
        Release(box)
        Release(car)
        DeactivateObject(fan)
        Release(walker)
        Release(fan)
        DeactivateInterface(menu)
        Release(menu)
        DeactivateInterface(keys)
        Release(keys)
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
    SetPTransformation(box, -1.7, 0, -0.2, 0, 0, frames * 0.02)
    DrawDynamicObject(land)
    DrawDynamicObject(box)
    DrawDynamicObject(car)
    DrawDynamicObject(walker)
    DrawDynamicObject(fan)
    if shown then
        UpdateInterface(shown)
    end
    if frameLimit and frames >= frameLimit then
        KillAllTasks()
    end
    Update()
end
