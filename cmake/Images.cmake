# Pictures: every PNG in data/Images is rendered by rsvg-convert from its SVG source in
# assets/images, at the exact pixel size the game relies on (sprite rectangles, tile grid,
# HUD cells). Some pictures reuse others through SVG references (the title card shows the
# tank and the wolves, the HUD's tokens are the power-ups, all lettering is drawn from
# Glyphs.svg rather than a font, so rendering never depends on the fonts installed), so each
# picture lists the extra sources it reads to be re-rendered when they change.
find_program(RSVG_CONVERT rsvg-convert)
if(NOT RSVG_CONVERT)
  message(FATAL_ERROR
    "rsvg-convert not found: the game's pictures are rendered with it. "
    "Install the Debian package librsvg2-bin (tools/setup.sh does).")
endif()

get_filename_component(QUELLIX_IMAGE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/../assets/images ABSOLUTE)
set(QUELLIX_IMAGE_DIR ${QUELLIX_DATA_DIR}/Images)
set(quellix_image_files)

# The picture is written under a temporary name and renamed when complete, so a failed render
# never leaves a broken PNG that looks up to date. data/ is shared by every build directory of
# the checkout, so the temporary name is unique to this build directory.
string(MD5 quellix_build_tag "${CMAKE_BINARY_DIR}")
string(SUBSTRING "${quellix_build_tag}" 0 8 quellix_build_tag)

# quellix_render_svg(NAME OUTPUT FORMAT WIDTH HEIGHT [SOURCE.svg...]): renders NAME.svg into
# OUTPUT as png, or as svg with every reference to another source drawn in.
function(quellix_render_svg name output format width height)
  set(source ${QUELLIX_IMAGE_SOURCES}/${name}.svg)
  set(partial ${output}.${quellix_build_tag}.part)
  get_filename_component(folder ${output} DIRECTORY)
  get_filename_component(shown ${output} NAME)
  list(TRANSFORM ARGN PREPEND ${QUELLIX_IMAGE_SOURCES}/ OUTPUT_VARIABLE uses)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${RSVG_CONVERT} -f ${format} -w ${width} -h ${height} -o ${partial} ${source}
    COMMAND ${CMAKE_COMMAND} -E rename ${partial} ${output}
    DEPENDS ${source} ${uses}
    COMMENT "Rendering ${shown} (${width} x ${height}) from ${name}.svg"
    VERBATIM)
endfunction()

# quellix_image(NAME WIDTH HEIGHT [SOURCE.svg...]): renders NAME.svg into Images/NAME.png.
function(quellix_image name width height)
  set(output ${QUELLIX_IMAGE_DIR}/${name}.png)
  quellix_render_svg(${name} ${output} png ${width} ${height} ${ARGN})
  set(quellix_image_files ${quellix_image_files} ${output} PARENT_SCOPE)
endfunction()

# Backgrounds, stretched to the window (16:9 at their own size).
quellix_image(Platform 1920 1080)
quellix_image(LoadingScreen 1920 1080 Glyphs.svg Objects.svg Tank.svg)
quellix_image(MenuScreen 1920 1080 Objects.svg Tank.svg Drone_Basic.svg)
# Drawn unscaled, centred: fits a 1280 x 720 window.
quellix_image(TitleScreen 1200 640 Glyphs.svg Objects.svg Tank.svg Drone_Basic.svg PowerUps.svg)
# Stretched over the bottom fifth of the window.
quellix_image(HUDBanner 1920 216)
# Menu buttons: the three looks share one size, the size of the button's shape.
quellix_image(NormalButton 460 48)
quellix_image(ActiveButton 460 48)
quellix_image(SelectedButton 460 48)
# Sprites: tank 55 x 76 and wreck 65 x 65; wolf frames 50 x 70; vanishing frames 128 x 128.
quellix_image(Tank 55 76)
quellix_image(TankExplosion 65 65)
quellix_image(Drone_Basic 100 70)
quellix_image(Vanish 640 128)
# Tiles 64 x 36, ten a row; power-ups 32 x 32 (see data/Scripts/PowerUps.lua).
quellix_image(Objects 640 72)
quellix_image(PowerUps 128 32)
# HUD cells (see data/Scripts/HUDElements.lua) and the window icon.
quellix_image(HUDElements 528 144 Glyphs.svg Tank.svg PowerUps.svg)
quellix_image(Icon 32 32 Glyphs.svg)

add_custom_target(quellix_images DEPENDS ${quellix_image_files}
  SOURCES ${QUELLIX_IMAGE_SOURCES}/Glyphs.svg)
add_dependencies(quellix_data quellix_images)
