-- The sample score table's script. Opened by activating its screen (scores1024.int), it shows
-- the twelve best drivers with their scores and the score of the current game. "record_score"
-- (sent when a game ends; the script hears commands from the screen's first opening on) enters
-- the current score under the driver's default name when it beats the last line. Back closes the
-- screen and tells "main" "scores_closed".

local screen = nil

local function Show()
    for line = 1, 12 do
        local name, score = GetScoreLine(line - 1)
        if name == "" then
            name = "-"
        end
        SetText(screen, "line" .. line, line .. ". " .. name .. "  " .. score)
    end
    UpdateScore(screen, GetScore())
end

local function Record()
    local score = GetScore()
    if IsInTable(score) then
        SetScoreLine("noname", score, AddScore(score))
    end
end

local function HandleCommand(command, first)
    if command == "add_object" then
        -- The screen belongs to whoever created it; the reference its activation lent this
        -- script goes back at once. The panel lies under the button: locked, it never takes the
        -- mouse from it.
        screen = StringToPointer(first)
        Release(screen)
        LockButton(screen, "panel")
        Show()
    elseif command == "record_score" then
        Record()
        if screen ~= nil then
            Show()
        end
    elseif command == "delete_object" then
        screen = nil
    elseif screen ~= nil and command == "button" and first == "back" then
        DeactivateInterface(screen)
        SendCommandByName("main", "scores_closed", "")
    end
end

while true do
    while SetNextCommand(globalObject) do
        HandleCommand(GetCurrentCommand(globalObject), GetCurrentParams(globalObject))
    end
    Update()
end
