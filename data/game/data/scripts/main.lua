-- The game's first script: it leads the game from the title through the missions to the end.
--
-- The title shows the sample scene (a ground tile with its lamp and particle effects, a box with a
-- glow above it, a car, a walker that sways frame by frame and a fan whose blade keeps turning)
-- with music, and the title screen (title1024.int: the game's name and the keys) while no other
-- screen is shown. Tab opens the main menu (Data\Interface\menu1024.int, run by the script "menu");
-- its "Keys" shows the key screen (keys1024.int, run by the script "keys") until its "Back", and its
-- "Play" starts a new game: the start set-up and money, then the missions one after the
-- other, each after the shop (the screen "shop", closed with "shop_closed"). A mission is a level
-- with its HUD (the script "gamemenu") and its rules (the level's script "level"): it ends when
-- "level" says "mission_complete" (money is paid for it and the shop opens for the next one),
-- "time_out", or when the car is destroyed ("player_dead"). The end screen
-- (Data\Interface\gameover1024.int) then says how the game went and the score; Enter opens the
-- score table (the screen "scores", told "record_score" to enter the score), whose "scores_closed" goes back to the
-- title. S on the title or in the shop opens the save and load screen ("saves"): "game_loaded"
-- goes on to the shop of the loaded game's mission, "saves_closed" back to where it was opened.
-- The screens draw while this script shows them. In a mission Escape pauses the game and opens the
-- main menu ("Play" goes on, "Quit" ends the game; Escape again goes on too); elsewhere Escape ends
-- the game, except on the key screen, where it may be the key being bound. Each finished mission
-- is saved into the autosave slot, the thirteenth.
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
local kEnter, kEscape, kTab = "13", "27", "9"
local kAutosave = "save13.sav"

local state = "title"  -- "title", "shop", "mission", "end" or "scores"
local scene = nil      -- the title scene's objects while it is shown
local menu = CreateInterface("menu", 0)
local menuShown = false
local keys = CreateInterface("keys", 0)
local keysShown = false
local title = CreateInterface("title", 0)
local hud = nil       -- the HUD while a mission runs
local screen = nil     -- the screen shown over the title or in place of a level
local savesShown = false
local paused = false   -- the mission waits under the menu

-- Screens ------------------------------------------------------------------------------------

local function OpenScreen(name)
    screen = CreateInterface(name, 0)
    ActivateInterface(screen)
end

local function CloseScreen()
    DeactivateInterface(screen)
    Release(screen)
    screen = nil
end

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
    ActivateInterface(title)
    PlayMusic("track1.ogg")
end

local function HideScene()
    if menuShown then
        DeactivateInterface(menu)
        menuShown = false
    end
    if keysShown then
        DeactivateInterface(keys)
        keysShown = false
    end
    DeactivateInterface(title)
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
    hud = CreateInterface("hud", 0)
    ActivateInterface(hud)  -- before the level starts, so that the HUD hears its first commands
    InitLevel(level)
    StartLevel()
    PlayMusic("track2.ogg")
    state = "mission"
end

-- The menu over a mission: the game stands still under it.
local function PauseMission()
    StopGlobalTimer()
    ActivateInterface(menu)
    menuShown = true
    paused = true
end

local function ResumeMission()
    if menuShown then
        DeactivateInterface(menu)
        menuShown = false
    end
    paused = false
    StartGlobalTimer()
end

local function EndMission()
    if paused then
        ResumeMission()
    end
    StopLevel()
    DeleteLevel()
    DeactivateInterface(hud)
    Release(hud)
    hud = nil
end

-- The shop before the current mission; the mission starts when it closes.
local function OpenShop()
    OpenScreen("shop")
    state = "shop"
end

local function NewGame()
    HideScene()
    InitPlayer()
    SetMoney(kStartMoney)
    SetKills(0)
    SetCurrentMission(1)
    OpenShop()
end

local function ShopClosed()
    CloseScreen()
    local number = GetCurrentMission()
    StartMission(number, missions[number].level)
end

-- The end -----------------------------------------------------------------------------------

local function ShowEnd(titleKey, reasonKey)
    EndMission()
    OpenScreen("gameover")
    SetTextString(screen, "title", titleKey)
    SetTextString(screen, "reason", reasonKey)
    SetTextString(screen, "hint", "press_enter")
    SetText(screen, "score", GetString("final_score") .. ": " .. GetScore())
    PlayMusic("track1.ogg")
    state = "end"
end

-- The score table, with the game's kills entered when they earn a place.
local function ShowScores()
    CloseScreen()
    OpenScreen("scores")
    SendCommandByName("scores", "record_score", "")
    state = "scores"
end

local function BackToTitle()
    CloseScreen()
    ShowScene()
    state = "title"
end

-- Saving and loading, on the title and in the shop.
local function ShowSaves()
    if state == "title" then
        if menuShown then
            DeactivateInterface(menu)
            menuShown = false
        end
    else
        CloseScreen()
    end
    OpenScreen("saves")
    savesShown = true
end

local function SavesClosed()
    CloseScreen()
    savesShown = false
    if state == "shop" then
        OpenShop()
    end
end

-- A loaded game goes on in the shop before its mission (the first one, for a game saved before
-- any or after the last).
local function GameLoaded()
    CloseScreen()
    savesShown = false
    if state == "title" then
        HideScene()
    end
    local number = GetCurrentMission()
    if number < 1 or number > table.getn(missions) then
        SetCurrentMission(1)
    end
    OpenShop()
end

-- The autosave holds the game as it goes on: the pay for the mission in, the next mission current
-- (after the last one, the last).
local function MissionComplete()
    local number = GetCurrentMission()
    local last = number >= table.getn(missions)
    SetMoney(GetMoney() + kMissionReward)
    if not last then
        SetCurrentMission(number + 1)
    end
    SaveGame(kAutosave)
    if last then
        ShowEnd("game_won", "mission_done")
        return
    end
    EndMission()
    OpenShop()
end

-- Commands ----------------------------------------------------------------------------------

local function ReleaseAll()
    if scene then
        HideScene()
    end
    if screen then
        CloseScreen()
    end
    if hud then
        DeactivateInterface(hud)
        Release(hud)
    end
    DeactivateInterface(menu)
    Release(menu)
    DeactivateInterface(keys)
    Release(keys)
    Release(title)
end

local function HandleKey(code)
    if code == kEscape and state == "mission" and not keysShown then
        if paused then
            ResumeMission()
        else
            PauseMission()
        end
    elseif code == kEscape and not keysShown then
        KillAllTasks()
    elseif savesShown or keysShown then
        return
    elseif (state == "title" or state == "shop") and (code == "83" or code == "115") then  -- S, s
        ShowSaves()
    elseif state == "title" and code == kTab and not menuShown then
        ActivateInterface(menu)
        menuShown = true
    elseif (state == "title" or paused) and menuShown then
        SendCommandByName("menu", "key", code)
    elseif state == "end" and code == kEnter then
        ShowScores()
    end
end

local function HandleCommand(command, first, second)
    if command == "key" then
        HandleKey(first)
    elseif command == "menu_closed" and state == "title" then
        NewGame()
    elseif command == "menu_closed" and paused then
        menuShown = false
        ResumeMission()
    elseif command == "show_keys" and (state == "title" or paused) then
        menuShown = false
        ActivateInterface(keys)
        keysShown = true
    elseif command == "keys_closed" and keysShown then
        keysShown = false
        ActivateInterface(menu)
        menuShown = true
    elseif command == "shop_closed" and state == "shop" then
        ShopClosed()
    elseif command == "saves_closed" then
        SavesClosed()
    elseif command == "game_loaded" then
        GameLoaded()
    elseif command == "scores_closed" and state == "scores" then
        BackToTitle()
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
    end
    if menuShown then
        UpdateInterface(menu)
    elseif keysShown then
        UpdateInterface(keys)
    elseif state == "title" and not savesShown then
        UpdateInterface(title)
    end
    if screen then
        UpdateInterface(screen)
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
