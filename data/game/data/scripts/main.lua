-- The game's first script: it leads the game from the title through the missions to the end.
--
-- The title shows the sample scene (a ground tile with its lamp and particle effects, a box with a
-- glow above it, a car, a walker that sways frame by frame and a fan whose blade keeps turning)
-- with music. Tab opens the main menu (Data\Interface\menu1024.int, run by the script "menu"),
-- whose "Play" starts a new game: the start set-up and money, then the missions one after the
-- other. Before each mission the best ready-made set-up the money affords is bought (AutoSetting)
-- and becomes the car's. A mission is a level with its HUD (the script "gamemenu") and its rules
-- (the level's script "level"): it ends when "level" says "mission_complete" (money is paid for it
-- and the next mission starts), "time_out", or when the car is destroyed ("player_dead"). The end
-- screen (Data\Interface\gameover1024.int) then says how the game went, enters the kills into the
-- score table and shows the table; Enter goes back to the title. Escape ends the game at any time.
--
-- When the environment variable VX_LEVEL names a level, the game starts at once with the mission
-- played on that level (the sample missions play "level1", "level2" and "level3") and the start
-- set-up; a level no mission plays is played without rules. When VX_FRAMES holds a number, the
-- game ends after that many frames (the tests use both).

local frameLimit = tonumber(os.getenv("VX_FRAMES") or "")
local frames = 0

-- The missions in the order they are played: the level and its mission file (Data\Levels).
local missions = {
    { level = "level1" },
    { level = "level2" },
    { level = "level3" },
}
local kStartMoney = 1500
local kMissionReward = 1000
local kSceneLayer = 20
local kTableLines = 12

local state = "title"  -- "title", "mission" or "end"
local scene = nil      -- the title scene's objects while it is shown
local menu = CreateInterface("menu", 0)
local menuShown = false
local hud = CreateInterface("hud", 0)
local endScreen = nil

-- The title ---------------------------------------------------------------------------------

local function ShowScene()
    scene = {
        land = LoadRenderObject("sample_ground.rdf", kSceneLayer),
        box = LoadRenderObject("box.rdf", kSceneLayer),
        car = LoadRenderObject("car.rdf", kSceneLayer),
        walker = LoadRenderObject("walker.rdf", kSceneLayer),
        fan = LoadRenderObject("fan.rdf", kSceneLayer),
    }
    SetPTransformation(scene.land, 0, 0, 0, 0, 0, 0)
    ActivateObject(scene.land, 200)  -- starts the ground's particle emitters
    SetPTransformation(scene.car, 1.7, 0.9, -1, 0, 0, 2.6)
    SetPTransformation(scene.walker, -0.4, 3, -1, 0, 0, 0)
    SetPTransformation(scene.fan, 0.7, 3, -1, 0, 0, 0)
    -- The walker plays its "walk" endlessly; the fan's turn runs while it is active.
    SetAnimation(scene.walker, "walk", 1, 0, -1)
    ActivateObject(scene.fan, kSceneLayer)
    PlayMusic("track1.ogg")
end

local function HideScene()
    if menuShown then
        DeactivateInterface(menu)
        menuShown = false
    end
    DeactivateObject(scene.land)
    DeactivateObject(scene.fan)
    for _, object in pairs(scene) do
        Release(object)
    end
    scene = nil
end

local function DrawScene()
    SetPTransformation(scene.box, -1.7, 0, -0.2, 0, 0, frames * 0.02)
    for _, object in pairs(scene) do
        DrawDynamicObject(object)
    end
end

-- The missions ------------------------------------------------------------------------------

local function MissionOfLevel(level)
    for number, mission in ipairs(missions) do
        if mission.level == level then
            return number
        end
    end
    return 0
end

local function StartMission(number, level)
    SetCurrentMission(number)
    ActivateInterface(hud)  -- before the level starts, so that the HUD hears its first commands
    InitLevel(level)
    StartLevel()
    PlayMusic("track2.ogg")
    state = "mission"
end

local function EndMission()
    StopLevel()
    DeleteLevel()
    DeactivateInterface(hud)
end

-- The shop's automatic purchase for the current mission, and the car equipped with it.
local function Equip()
    AutoSetting()
    CommitCarSettings()
end

local function NewGame()
    HideScene()
    InitPlayer()
    SetMoney(kStartMoney)
    SetKills(0)
    SetCurrentMission(1)
    Equip()
    StartMission(1, missions[1].level)
end

-- The end -----------------------------------------------------------------------------------

-- The kills enter the score table; its lines as one text, "^" between lines.
local function ScoreTable(score)
    local place = AddScore(score)
    if place >= 0 then
        SetScoreLine("noname", score, place)
    end
    local lines = {}
    for line = 0, kTableLines - 1 do
        local name, points = GetScoreLine(line)
        if name ~= "" or points ~= 0 then
            table.insert(lines, (line + 1) .. ". " .. name .. "  " .. points)
        end
    end
    return table.concat(lines, "^")
end

local function ShowEnd(titleKey, reasonKey)
    EndMission()
    local score = GetScore()
    endScreen = CreateInterface("gameover", 0)
    ActivateInterface(endScreen)
    SetTextString(endScreen, "title", titleKey)
    SetTextString(endScreen, "reason", reasonKey)
    SetTextString(endScreen, "hint", "press_enter")
    SetText(endScreen, "score", GetString("final_score") .. ": " .. score)
    SetText(endScreen, "table", ScoreTable(score))
    PlayMusic("track1.ogg")
    state = "end"
end

local function BackToTitle()
    DeactivateInterface(endScreen)
    Release(endScreen)
    endScreen = nil
    ShowScene()
    state = "title"
end

local function MissionComplete()
    local number = GetCurrentMission()
    SetMoney(GetMoney() + kMissionReward)
    if number >= table.getn(missions) then
        ShowEnd("game_won", "mission_done")
        return
    end
    EndMission()
    SetCurrentMission(number + 1)
    Equip()
    StartMission(number + 1, missions[number + 1].level)
end

-- Commands ----------------------------------------------------------------------------------

local function ReleaseAll()
    if scene then
        HideScene()
    end
    if endScreen then
        DeactivateInterface(endScreen)
        Release(endScreen)
    end
    DeactivateInterface(hud)
    Release(hud)
    DeactivateInterface(menu)
    Release(menu)
end

local function HandleKey(code)
    if code == "27" then
        KillAllTasks()
    elseif state == "title" and code == "9" and not menuShown then
        ActivateInterface(menu)
        menuShown = true
    elseif state == "title" and menuShown then
        SendCommandByName("menu", "key", code)
    elseif state == "end" and code == "13" then
        BackToTitle()
    end
end

local function HandleCommand(command, first)
    if command == "key" then
        HandleKey(first)
    elseif command == "menu_closed" and state == "title" then
        NewGame()
    elseif command == "mission_complete" and state == "mission" then
        MissionComplete()
    elseif command == "time_out" and state == "mission" then
        ShowEnd("game_lost", "time_out")
    elseif command == "player_dead" and state == "mission" then
        ShowEnd("game_lost", "car_destroyed")
    elseif command == "say_point" or command == "say_show" then
        PlaySpecialSound("change_weapon")
    elseif command == "say_critical" then
        PlaySpecialSound("undo_weapon")
        SendCommandByName("gamemenu", "mission_text", GetString("critical"))
    elseif command == "release_all" then
        ReleaseAll()
    end
end

local startLevel = os.getenv("VX_LEVEL")
if startLevel and startLevel ~= "" then
    -- A new player's car: the start set-up, committed as the set-up the level equips.
    InitPlayer()
    CommitCarSettings()
    StartMission(MissionOfLevel(startLevel), startLevel)
else
    ShowScene()
    PlaySpecialSound("big_exp")
end

while true do
    while SetNextCommand(globalObject) do
        HandleCommand(GetCurrentCommand(globalObject), GetCurrentParams(globalObject))
    end
    frames = frames + 1
    if state == "title" then
        if frames == 900 then
            PlayMusic("track2.ogg")
        end
        DrawScene()
        if menuShown then
            UpdateInterface(menu)
        end
    elseif state == "end" then
        UpdateInterface(endScreen)
    end
    if frameLimit and frames >= frameLimit then
        if state == "mission" then
            EndMission()
            state = "title"
        end
        KillAllTasks()
    end
    Update()
end
