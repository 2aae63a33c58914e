-- Where each power-up's picture lies in Images/PowerUps.png, in pixels; kind k is entry k + 1.
return {
    { left = 0, top = 0, width = 32, height = 32 },  -- kind 0: red gem
    { left = 32, top = 0, width = 32, height = 32 }, -- kind 1: yellow energy coin
    { left = 64, top = 0, width = 32, height = 32 }, -- kind 2: blue crystal
    { left = 96, top = 0, width = 32, height = 32 }, -- kind 3: the green key
}
