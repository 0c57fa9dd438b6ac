-- The sample shop's script. Opened by activating its screen (shop1024.int), it offers the weapons
-- of the current mission that the car does not carry and that have a price, one at a time: "<"
-- and ">" browse them, Buy puts the one shown into the first empty weapon slot and pays its price,
-- Auto buys the best ready-made set-up that the money and the car's own items pay for, and Done
-- closes the shop. The screen shows the whole set-up: the weapon slots, the mine layer, armour,
-- bumper and engine, the super weapon with its charges and the equipment. The status line says
-- what the last button did and is cleared when the offer is browsed. The car drives with what it
-- bought (the set-up is committed after every purchase). It tells "main" "shop_closed" when it
-- closes.

local screen = nil
local offered = {}
local shown = 1

local function SetUpNames()
    return { GetCarInfo() }
end

-- An item's name as the shop shows it, "-" for an empty place.
local function ItemText(info, name)
    if name == "" or name == "none" then
        return "-"
    end
    return info(name) or name
end

local function Joined(texts)
    return table.concat(texts, " / ")
end

local function Show()
    SetText(screen, "money", "Money: " .. GetMoney())
    local name = offered[shown]
    if name then
        local text, price = GetWeaponInfo(name)
        SetText(screen, "item", text)
        SetText(screen, "price", "Price: " .. price)
    else
        SetText(screen, "item", "Nothing more on offer")
        SetText(screen, "price", "-")
    end
    -- weapons 1 to 3, equipment 1 and 2, bumper, engine, armour, super weapon, charges, mine layer
    local setUp = SetUpNames()
    SetText(screen, "slots", Joined({ ItemText(GetWeaponInfo, setUp[1]), ItemText(GetWeaponInfo, setUp[2]),
                                      ItemText(GetWeaponInfo, setUp[3]) }))
    SetText(screen, "gear", Joined({ ItemText(GetMineInfo, setUp[11]), ItemText(GetArmorInfo, setUp[8]),
                                     ItemText(GetBumperInfo, setUp[6]), ItemText(GetEngineInfo, setUp[7]) }))
    SetText(screen, "extras", Joined({ ItemText(GetSuperWeaponInfo, setUp[9]) .. " x" .. setUp[10],
                                       ItemText(GetEquipmentInfo, setUp[4]), ItemText(GetEquipmentInfo, setUp[5]) }))
    UpdateInterfaceBuffers(screen)
end

-- The weapons on offer: those of the mission the car does not carry, less those without a price
-- (the car's start weapon).
local function Offer()
    local _, names = GetWeaponNames()
    offered = {}
    for _, name in ipairs(names) do
        local _, price = GetWeaponInfo(name)
        if price and price > 0 then
            table.insert(offered, name)
        end
    end
    shown = math.max(1, math.min(shown, table.getn(offered)))
    Show()
end

local function Buy()
    local name = offered[shown]
    if not name then
        return "Nothing to buy"
    end
    local _, price = GetWeaponInfo(name)
    local money = GetMoney()
    if price > money then
        return "Not enough money"
    end
    local setUp = SetUpNames()
    local slot = nil
    for i = 3, 1, -1 do
        if setUp[i] == "" then
            slot = i
        end
    end
    if not slot then
        return "No free weapon slot"
    end
    setUp[slot] = name
    SetCarInfo(unpack(setUp))
    SetMoney(money - price)
    CommitCarSettings()
    return "Bought"
end

local function AutoBuy()
    local before = GetMoney()
    AutoSetting()
    CommitCarSettings()
    if GetMoney() == before then
        return "Nothing better to buy"
    end
    return "Bought a ready-made set-up"
end

local function Press(name)
    if name == "prev" then
        shown = math.max(shown - 1, 1)
        SetText(screen, "status", "")
        Show()
    elseif name == "next" then
        shown = math.min(shown + 1, math.max(table.getn(offered), 1))
        SetText(screen, "status", "")
        Show()
    elseif name == "buy" then
        SetText(screen, "status", Buy())
        Offer()
    elseif name == "auto" then
        SetText(screen, "status", AutoBuy())
        Offer()
    elseif name == "done" then
        DeactivateInterface(screen)
        SendCommandByName("main", "shop_closed", "")
    end
end

local function HandleCommand(command, first)
    if command == "add_object" then
        -- The screen belongs to whoever created it; the reference its activation lent this
        -- script goes back at once. The panel lies under the buttons: locked, it never takes
        -- the mouse from them.
        screen = StringToPointer(first)
        Release(screen)
        LockButton(screen, "panel")
        -- The shop starts from the set-up the car drives with.
        SetCarInfo(GetRealCarInfo())
        SetText(screen, "status", "")
        Offer()
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
