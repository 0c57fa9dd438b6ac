-- The sample key screen's script: one row per action, in the order of Actions.cfg. Each row shows
-- the action's label and its key; a click on the key's button waits for the next key, mouse
-- button or wheel notch ("key_assign", heard by the category "interface"), binds the action to
-- it and writes Actions.cfg at once. "Back" hands the screen back to "main", which shows the main
-- menu again.

local screen = nil
local waiting = nil  -- the row whose action waits for its key
-- The actions of the rows, as Actions.cfg names them.
local actions = { "forward", "backward", "left", "right", "fire", "mine", "super", "next_weapon", "prev_weapon" }

local function ShowBindings()
    local _, keys, labels = GetActionNames()
    for row = 1, table.getn(actions) do
        SetText(screen, "label" .. row, labels[row] or "")
        SetText(screen, "key" .. row, keys[row] or "")
    end
end

local function HandleCommand(command, first)
    if command == "add_object" then
        -- The screen belongs to "main", which created it; the reference its activation lent
        -- this script goes back at once.
        screen = StringToPointer(first)
        Release(screen)
        -- The panel under the rows is drawn but never hovered, so the buttons take the mouse.
        LockButton(screen, "panel")
        waiting = nil
        ShowBindings()
    elseif screen == nil then
        return
    elseif command == "button" and first == "back" then
        DeactivateInterface(screen)
        waiting = nil
        SendCommandByName("main", "keys_closed", "")
    elseif command == "button" and string.sub(first, 1, 4) == "bind" then
        waiting = tonumber(string.sub(first, 5))
        SetTextString(screen, "key" .. waiting, "press_key")
        SetAssignKey()
    elseif command == "key_assign" and waiting then
        SetAction(actions[waiting], first)
        SaveActions()
        waiting = nil
        ShowBindings()
    end
end

while true do
    while SetNextCommand(globalObject) do
        HandleCommand(GetCurrentCommand(globalObject), GetCurrentParams(globalObject))
    end
    Update()
end
