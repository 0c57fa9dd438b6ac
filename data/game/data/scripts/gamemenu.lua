-- The HUD in a level (Data\Interface\hud1024.int). "main" creates the screen and activates it
-- before the level starts; this script then draws it every frame: the car's life, weapons, mines,
-- super weapon and the arrows to the check point and the targets (UpdateGameInterface), the money
-- ("score"), the mission's kills ("score2", which the level script sends as "kills"), the game's
-- score ("total", whenever it changes), the level time ("time") and the level's messages
-- ("message", shown for a few seconds).
-- The money is read with GetMoney when the screen is shown, since "change_money" reaches this
-- script only while it runs (a purchase in the shop happens while the HUD is not shown); the
-- level's "set_money" and every later "change_money" bring the new sum.

local hud = nil
local messageTime = 0
local shownScore = nil
local kMessageSeconds = 4

local function ShowMoney(money)
    UpdateScore(hud, money)
end

-- The game's score, rewritten only when it changed.
local function ShowScore()
    local score = GetScore()
    if score ~= shownScore then
        shownScore = score
        SetText(hud, "total", tostring(score))
    end
end

local function ShowMessage(text)
    SetText(hud, "message", text)
    messageTime = kMessageSeconds
end

-- The super weapon's marks: one for each upgrade of the committed super weapon.
local function ShowSuperWeapon()
    local _, _, _, _, _, _, _, _, superWeapon = GetRealCarInfo()
    SetWindowVisible(hud, "super2", superWeapon == "super2" or superWeapon == "super3")
    SetWindowVisible(hud, "super3", superWeapon == "super3")
end

local function HandleCommand(command, first)
    if command == "add_object" then
        -- The screen belongs to "main", which created it; the reference its activation lent
        -- this script goes back at once.
        hud = StringToPointer(first)
        Release(hud)
        ShowMoney(GetMoney())
        UpdateScore2(hud, 0)
        shownScore = nil
        ShowScore()
        SetText(hud, "message", "")
        ShowSuperWeapon()
    elseif hud == nil then
        return
    elseif command == "set_money" or command == "change_money" then
        ShowMoney(tonumber(first) or 0)
    elseif command == "init_game_interface" then
        InitGameInterface(hud)
        ShowSuperWeapon()
    elseif command == "mission_text" or command == "mission_text2" then
        ShowMessage(first or "")
    elseif command == "engine_temp" then
        EngineState(hud, first == "1")
    elseif command == "kills" then
        UpdateScore2(hud, tonumber(first) or 0)
    elseif command == "update_game_interface" then
        ShowSuperWeapon()
        UpdateGameInterface(hud)
    end
end

while true do
    while SetNextCommand(globalObject) do
        HandleCommand(GetCurrentCommand(globalObject), GetCurrentParams(globalObject))
    end
    if hud then
        if messageTime > 0 then
            messageTime = messageTime - GetDeltaTime()
            if messageTime <= 0 then
                SetText(hud, "message", "")
            end
        end
        UpdateGameInterface(hud)
        ShowScore()
        UpdateTime(hud)
        UpdateInterface(hud)
    end
    Update()
end
