-- The player's car in a level. The level wakes it with "add_object" (the car's handle, with a
-- reference the script gives back) when it starts; from then on the bound actions drive the car:
-- forward and backward make the throttle, left and right the steering; the car goes on to the
-- script "action_listener", which works its weapons. Each reached check point
-- ("check_point") brings the next one. The stopped level's "delete_object", or the game's end
-- ("release_all"), lets the car go.

local car = nil
local held = { forward = 0, backward = 0, left = 0, right = 0 }

local function Drive()
    if car then
        SetCarParams(car, held.forward - held.backward, held.right - held.left)
    end
end

local function HandleCommand(command, first, second)
    if command == "add_object" then
        car = StringToPointer(first)
        SendCommandByName("action_listener", "set_player", first)
        Drive()
    elseif command == "delete_object" or command == "release_all" then
        if car then
            Release(car)
            car = nil
        end
    elseif command == "key_action" and held[first] then
        held[first] = tonumber(second) or 0
        Drive()
    elseif command == "check_point" then
        ShowCheckPoint()
    end
end

while true do
    while SetNextCommand(globalObject) do
        HandleCommand(GetCurrentCommand(globalObject), GetCurrentParams(globalObject))
    end
    Update()
end
