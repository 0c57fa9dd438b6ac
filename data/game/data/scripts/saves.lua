-- The sample save and load screen's script. Opened by activating its screen (saves1024.int), it
-- lists the thirteen save slots with their descriptions ("(empty)" for a slot without a whole
-- save; the thirteenth is the autosave, which only the game writes). "<" and ">" move the frame to
-- the chosen slot, Save writes the game into it, Load restores the game from it, and Back closes
-- the screen. It tells "main" "game_loaded" after a load and "saves_closed" when it closes.

local screen = nil
local chosen = 1
local autosaveSlot = 13

local function SlotFile(slot)
    return "save" .. slot .. ".sav"
end

local function List()
    local count, descriptions = GetSaves()
    for slot = 1, count do
        local text = descriptions[slot]
        if text == "" then
            text = "(empty)"
        end
        SetText(screen, "slot" .. slot, slot .. ". " .. text)
    end
    return descriptions
end

local function Choose(slot)
    chosen = slot
    local _, rowY = GetTextPosition(screen, "slot" .. chosen)
    local frameX = GetWindowPosition(screen, "choice")
    SetWindowPosition(screen, "choice", frameX, rowY - 4)
    UpdateInterfaceBuffers(screen)
end

local function Press(name)
    if name == "prev" then
        Choose(math.max(chosen - 1, 1))
    elseif name == "next" then
        Choose(math.min(chosen + 1, autosaveSlot))
    elseif name == "save" then
        if chosen == autosaveSlot then
            SetText(screen, "status", "The autosave is written by the game")
        else
            local saved = SaveGame(SlotFile(chosen))
            List()
            SetText(screen, "status", saved and "Saved" or "Saving failed")
        end
    elseif name == "load" then
        if List()[chosen] == "" then
            SetText(screen, "status", "Nothing saved there")
        else
            LoadGame(SlotFile(chosen))
            SetText(screen, "status", "Loaded")
            SendCommandByName("main", "game_loaded", "")
        end
    elseif name == "back" then
        DeactivateInterface(screen)
        SendCommandByName("main", "saves_closed", "")
    end
end

local function HandleCommand(command, first)
    if command == "add_object" then
        -- The screen belongs to whoever created it; the reference its activation lent this
        -- script goes back at once. The panel and the frame lie under the buttons: locked, they
        -- never take the mouse from them.
        screen = StringToPointer(first)
        Release(screen)
        LockButton(screen, "panel")
        LockButton(screen, "choice")
        SetText(screen, "status", "-")
        List()
        Choose(chosen)
    elseif command == "delete_object" then
        screen = nil
    elseif screen ~= nil and command == "button" then
        Press(first)
    end
end

while true do
    while SetNextCommand(globalObject) do
        HandleCommand(GetCurrentCommand(globalObject), GetCurrentParams(globalObject))
    end
    Update()
end
