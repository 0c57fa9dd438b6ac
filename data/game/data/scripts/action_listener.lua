-- The player's actions on the car's weapons: "fire" holds and releases the main trigger, "mine"
-- the mine layer's, "next_weapon" and "prev_weapon" (on the press) cycle the weapon, "super" (on
-- the press) fires the super weapon. The level
-- hands over its car with the command "set_player" (the car's handle as text); until then the
-- actions do nothing.
local car = nil

local function OnAction(action, pressed)
  if not car then return end
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

while true do
  while SetNextCommand(globalObject) do
    local command = GetCurrentCommand(globalObject)
    if command == "set_player" then
      local handle = GetCurrentParams(globalObject)
      if handle then car = StringToPointer(handle) end
    elseif command == "key_action" then
      local action, state = GetCurrentParams(globalObject)
      OnAction(action, state == "1")
    end
  end
  Update()
end
