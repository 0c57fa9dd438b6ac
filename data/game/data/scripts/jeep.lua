-- The player's car in a level. The level wakes it with "add_object" (the car's handle, with a
-- reference the script gives back) when it starts; from then on the bound actions drive the car:
-- forward and backward make the throttle, left and right the steering; "fire" holds and releases
-- the main trigger, "mine" the mine layer's, "next_weapon" and "prev_weapon" (on the press) cycle
-- the weapon and "super" (on the press) fires the super weapon. Each reached check point
-- ("check_point") brings the next one. The level's start tells the engine's first two values
-- ("set_car_params"): they scale the throttle and the steering. A hit on the car ("damage", with
-- its amount) costs it health; when none is left the car is wrecked and "main" hears
-- "player_dead". The stopped level's
-- "delete_object", or the game's end ("release_all"), lets the car go.

local car = nil
local wrecked = false  -- the car has been destroyed
local held = { forward = 0, backward = 0, left = 0, right = 0 }
local power, steering = 1, 1

local function Drive()
    if car then
        SetCarParams(car, (held.forward - held.backward) * power, (held.right - held.left) * steering)
    end
end

local function OnWeaponAction(action, pressed)
    if action == "fire" then
        SetShot(car, pressed)
    elseif action == "mine" then
        SetMineShot(car, pressed)
    elseif action == "next_weapon" and pressed then
        SetNextWeapon(car)
    elseif action == "prev_weapon" and pressed then
        SetPrevWeapon(car)
    elseif action == "super" and pressed then
        SmartBomb()
    end
end

local function HandleCommand(command, first, second)
    if command == "add_object" then
        car = StringToPointer(first)
        wrecked = false
        Drive()
    elseif command == "delete_object" or command == "release_all" then
        if car then
            Release(car)
            car = nil
        end
    elseif command == "damage" and car and not wrecked then
        -- A hit: the car loses that much health, and is wrecked when none is left.
        if not DamagePlayer(car, tonumber(first) or 0) then
            KillPlayer(car)
            wrecked = true
        end
    elseif command == "key_action" and held[first] then
        held[first] = tonumber(second) or 0
        Drive()
    elseif command == "key_action" and car then
        OnWeaponAction(first, second == "1")
    elseif command == "check_point" then
        ShowCheckPoint()
    elseif command == "set_car_params" then
        power = tonumber(first) or 1
        steering = tonumber(second) or 1
        Drive()
    end
end

-- The weapon aims at the ground 20 units ahead of the car. The heading is the angle of the car's
-- forward direction from the x axis, counterclockwise.
local function Aim()
    local x, y = GetPlayerPosition()
    local heading = GetPlayerDirection()
    SetWeaponPos(x + 20 * math.cos(heading), y + 20 * math.sin(heading), 0)
end

while true do
    while SetNextCommand(globalObject) do
        HandleCommand(GetCurrentCommand(globalObject), GetCurrentParams(globalObject))
    end
    if car then
        Aim()
    end
    Update()
end
