-- The in-game HUD: five groups on the banner, one per fifth of its width, each centred in one of
-- the banner's display windows: the tanks left, then the red, yellow, green and blue counters.
-- A group is an icon, a times sign and the number (up to three digits).
--
-- Pictures come from Images/HUDElements.png: the digits 0-9 and the times sign in 48 x 64 cells
-- along the top, the icons in 80 x 80 cells below (tank, red, yellow, green, blue). They are
-- drawn 1:1 on a 216-pixel banner (a 1080-line window) and scaled with the banner's height
-- otherwise, so the layout looks the same on every window.

local DIGIT_W, DIGIT_H = 48, 64
local TIMES_CELL = 10              -- the times sign follows the ten digits
local ICON = 80
local ICON_ROW = 64                -- top of the icon row in the picture
local MAX_DIGITS = 3
local MAX_VALUE = 999
local QUADS_PER_GROUP = 2 + MAX_DIGITS

-- Horizontal layout of a group at banner height 216, from its left edge. The digit cells have
-- empty margins, so the digits advance less than a cell's width.
local TIMES_X = 84
local DIGITS_X = 124
local DIGIT_ADVANCE = 42
local CENTRE_Y = 116               -- the windows' centre line
local FIFTH_USED = 0.85            -- share of a fifth of the banner the widest group may take

local function groupWidth(digits)
    return DIGITS_X + (digits - 1) * DIGIT_ADVANCE + DIGIT_W
end

local WHITE = { 255, 255, 255 }
local EMPTY = { 120, 120, 120 }    -- a counter at zero: nothing to spend
local DANGER = { 255, 96, 96 }     -- the last few tanks

-- counter: the field of update's counts table; nil for the tanks
local groups = {
    { icon = 0 },
    { icon = 1, counter = "Red" },
    { icon = 2, counter = "Yellow" },
    { icon = 3, counter = "Green" },
    { icon = 4, counter = "Blue" },
}

local scale = 1

local function round(x)
    return math.floor(x + 0.5)
end

local function rect(left, top, width, height)
    return { left = round(left), top = round(top), width = round(width), height = round(height) }
end

local NOTHING = { left = 0, top = 0, width = 0, height = 0 }

local function firstQuad(g)
    return (g - 1) * QUADS_PER_GROUP + 1
end

function init(banner)
    -- Scaled with the banner's height, but never so large that three digits leave their window
    -- (on windows narrower than 16:9 the banner is higher for its width).
    scale = math.min(banner.height / 216, banner.width / 5 * FIFTH_USED / groupWidth(MAX_DIGITS))
    vertex.resize(PlayerHUD, #groups * QUADS_PER_GROUP * 4)
    vertex.setType(PlayerHUD, "Quad")
    for g, group in ipairs(groups) do
        group.centreX = banner.left + banner.width * (2 * g - 1) / 10
        group.centreY = banner.top + banner.height * CENTRE_Y / 216
        group.shown = nil
        local q = firstQuad(g)
        vertex.texture(PlayerHUD, q, rect(group.icon * ICON, ICON_ROW, ICON, ICON))
        vertex.texture(PlayerHUD, q + 1, rect(TIMES_CELL * DIGIT_W, 0, DIGIT_W, DIGIT_H))
        for quad = q, q + QUADS_PER_GROUP - 1 do
            vertex.position(PlayerHUD, quad, NOTHING)
        end
    end
end

-- Lays a group out for its value. Groups of one or two digits share one placement, so the icon
-- stays put as the number changes; a three-digit group is centred on its own.
local function show(g, value)
    local group = groups[g]
    value = math.floor(tonumber(value) or 0)
    value = math.max(0, math.min(MAX_VALUE, value))
    if group.shown == value then
        return
    end
    group.shown = value
    local text = tostring(value)
    local width = groupWidth(math.max(2, #text)) * scale
    local left = group.centreX - width / 2
    local top = group.centreY - DIGIT_H * scale / 2
    local q = firstQuad(g)
    vertex.position(PlayerHUD, q,
        rect(left, group.centreY - ICON * scale / 2, ICON * scale, ICON * scale))
    vertex.position(PlayerHUD, q + 1,
        rect(left + TIMES_X * scale, top, DIGIT_W * scale, DIGIT_H * scale))
    for d = 1, MAX_DIGITS do
        if d <= #text then
            local digit = text:byte(d) - string.byte("0")
            local x = left + (DIGITS_X + (d - 1) * DIGIT_ADVANCE) * scale
            vertex.position(PlayerHUD, q + 1 + d, rect(x, top, DIGIT_W * scale, DIGIT_H * scale))
            vertex.texture(PlayerHUD, q + 1 + d, rect(digit * DIGIT_W, 0, DIGIT_W, DIGIT_H))
        else
            vertex.position(PlayerHUD, q + 1 + d, NOTHING)
        end
    end
    local colour = WHITE
    if group.counter == nil then
        if value <= 3 then
            colour = DANGER
        end
    elseif value == 0 then
        colour = EMPTY
    end
    vertex.recolor(PlayerHUD, (q - 1) * 4, QUADS_PER_GROUP * 4, colour)
end

function update(lives, counts)
    counts = counts or {}
    show(1, lives)
    for g = 2, #groups do
        show(g, counts[groups[g].counter])
    end
end
init({left = 0, top = 576, width = 1280, height = 144})
update(25, {Red = 1, Yellow = 20, Green = 300, Blue = 4000})
update(-5, {})
update(0/0, nil)
