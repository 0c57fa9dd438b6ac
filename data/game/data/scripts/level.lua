-- A mission's rules, run by the level's own model while the level runs. The mission file
-- Data\Levels\mission<n> (n the current mission) gives, per check point, four numbers:
--   1. the seconds of level time this leg adds (the level time is their sum up to the finish),
--   2. how many enemies come while this check point is the target,
--   3. how many of them may be alive at once,
--   4. 1 when reaching this check point finishes the mission (else the last one does);
-- then the enemy kinds with their odds and the bonuses that killed enemies drop.
-- An enemy comes every few seconds: from a spawn source of the check point 60 to 70 units from
-- the car when there is one, else from the check point's table at a free place 30 units from the
-- car (within the level's bounds), ahead of the car when there is room there, so that the player
-- sees it come. One that leaves play without dying ("enemy_invisible") is sent again; a killed
-- one ("enemy_death") counts as a kill of the mission (the engine adds its reward to the score)
-- and may drop a bonus of the check point's table.
-- The script tells "main" "mission_complete" when the finish is reached and "time_out" when the
-- time has run out first; "gamemenu" hears the mission's kills ("kills"). A level without a
-- mission file runs without rules.

local kSpawnSeconds = 3
local kSpawnDistance = 30
local kPlaceTries = 4
local kAheadSpread = math.pi / 3  -- the places ahead lie within this angle of the car's heading

local count = 0        -- check points of the mission
local reached = 0      -- check points reached
local timeLeft = 0
local spawned = 0      -- enemies sent for the current check point
local spawnTimer = 0
local kills = 0        -- enemies killed in this mission
local running = false

-- The mission's check-point numbers of line i (from 0): time, enemies, alive at once, finish.
local function Leg(i)
    local enemies, alive, finish, seconds = GetCheckPointInfo(i)
    return seconds, enemies, alive, finish
end

-- The script serves every level in turn: each level's start begins afresh.
local function StartMission()
    reached, spawned, spawnTimer, kills, running = 0, 0, 0, 0, false
    LoadMissionInfo("mission" .. GetCurrentMission())
    count = GetCheckPointsCount()
    if count == 0 then
        return
    end
    local total = 0
    for i = 0, count - 1 do
        local seconds, _, _, finish = Leg(i)
        total = total + seconds
        if finish == 1 then
            count = i + 1
            break
        end
    end
    SetLevelTime(total)
    timeLeft = total
    running = true
end

-- A free place for an enemy of the kind, about 30 units from the car: ahead of it first, then in
-- any direction.
local function PlaceNearCar(kind)
    local carX, carY = GetPlayerPosition()
    local heading = GetPlayerDirection()
    for try = 1, 2 * kPlaceTries do
        local angle = math.random() * 2 * math.pi
        if try <= kPlaceTries then
            angle = heading + (math.random() - 0.5) * 2 * kAheadSpread
        end
        local found, x, y = GetPositionForEnemy(kind, 0, 1, carX + kSpawnDistance * math.cos(angle),
                                                carY + kSpawnDistance * math.sin(angle))
        if found then
            return true, x, y
        end
    end
    return false
end

-- One enemy for check point n (from 1), when the leg still sends some and few enough are alive.
local function SendEnemy(n)
    local _, enemies, alive = Leg(n - 1)
    if spawned >= enemies or GetAICount() >= alive then
        return
    end
    local kind, found, x, y
    if IsEnemySourceNear(true, n) then
        kind, found, x, y = GetEnemyType(n, true)
    else
        kind = GetEnemyType(n, false)
        found, x, y = PlaceNearCar(kind)
    end
    if kind ~= "" and found then
        AddEnemy(kind, x, y)
        spawned = spawned + 1
    end
end

local function Finish(command)
    running = false
    SendCommandByName("main", command, "")
end

local function HandleCommand(command, first, second, third)
    if command == "add_object" then
        -- The level's model: this script needs only its activation; the reference goes back.
        Release(StringToPointer(first))
        StartMission()
    elseif command == "delete_object" then
        running = false  -- the level has stopped
    elseif not running then
        return
    elseif command == "check_point" then
        reached = reached + 1
        spawned = 0
        if reached >= count then
            Finish("mission_complete")
        end
    elseif command == "enemy_death" then
        kills = kills + 1
        SendCommandByName("gamemenu", "kills", kills)
        SetBonus(tonumber(second) or 0, tonumber(third) or 0, reached)
    elseif command == "enemy_invisible" then
        -- It left play without dying: another one comes in its place.
        spawned = math.max(spawned - 1, 0)
    elseif command == "death" then
        running = false
    end
end

while true do
    while SetNextCommand(globalObject) do
        HandleCommand(GetCurrentCommand(globalObject), GetCurrentParams(globalObject))
    end
    if running then
        timeLeft = timeLeft - GetDeltaTime()
        if timeLeft < 0 then
            Finish("time_out")
        else
            spawnTimer = spawnTimer + GetDeltaTime()
            if spawnTimer >= kSpawnSeconds then
                spawnTimer = 0
                SendEnemy(reached + 1)
            end
        end
    end
    Update()
end
