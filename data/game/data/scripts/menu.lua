-- The sample main menu's script: it hears its screen's buttons ("button" with the name), the
-- bound keys of the category "action_listener" (Up and Down move the frame that marks the chosen
-- button, Space presses it) and the typed Enter that "main" passes on ("key" 13); the keys count
-- only while the menu is shown. "play" closes the menu (main stops drawing it; over a mission the
-- game goes on), "keys" opens the key screen in its place, "quit" ends the game.

local screen = nil
local shown = false
local buttons = { "play", "keys", "quit" }
local chosen = 1

local function Choose(index)
    chosen = index
    local x, y = GetWindowPosition(screen, buttons[chosen])
    SetWindowPosition(screen, "choice", x, y)
    UpdateInterfaceBuffers(screen)
end

local function Press(name)
    if name == "play" or name == "keys" then
        DeactivateInterface(screen)
        shown = false
        SendCommandByName("main", name == "play" and "menu_closed" or "show_keys", "")
    elseif name == "quit" then
        KillAllTasks()
    end
end

local function HandleCommand(command, first, second)
    if command == "add_object" then
        -- The screen belongs to "main", which created it; the reference its activation lent
        -- this script goes back at once.
        screen = StringToPointer(first)
        Release(screen)
        shown = true
        -- The panel lies under the buttons and comes first in the layout: locked, it is drawn
        -- but never hovered, so the buttons take the mouse.
        LockButton(screen, "panel")
        Choose(chosen)
    elseif command == "delete_object" then
        -- "main" took the menu away (Escape over a mission): its keys count no more.
        shown = false
    elseif not shown then
        return
    elseif command == "button" then
        Press(first)
    elseif command == "key_action" and second == "1" then
        if first == "forward" then
            Choose(math.max(chosen - 1, 1))
        elseif first == "backward" then
            Choose(math.min(chosen + 1, table.getn(buttons)))
        elseif first == "fire" then
            Press(buttons[chosen])
        end
    elseif command == "key" and first == "13" then
        Press(buttons[chosen])
    end
end

while true do
    while SetNextCommand(globalObject) do
        HandleCommand(GetCurrentCommand(globalObject), GetCurrentParams(globalObject))
    end
    Update()
end
