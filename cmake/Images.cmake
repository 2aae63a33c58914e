# Pictures: every PNG in data/Images is rendered by rsvg-convert (cmake/RenderImage.cmake) from
# its SVG source in assets/images, at the exact pixel size the game relies on (sprite rectangles,
# tile grid, HUD cells). Some pictures reuse others through SVG references (the title card shows the
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
set(quellix_embedding_images)
set(QUELLIX_RENDER_IMAGE ${CMAKE_CURRENT_LIST_DIR}/RenderImage.cmake)

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
    COMMAND ${CMAKE_COMMAND} -DRSVG_CONVERT=${RSVG_CONVERT} -DSOURCE=${source} -DOUTPUT=${output}
      -DPARTIAL=${partial} -DFORMAT=${format} -DWIDTH=${width} -DHEIGHT=${height}
      -P ${QUELLIX_RENDER_IMAGE}
    DEPENDS ${source} ${uses} ${QUELLIX_RENDER_IMAGE}
    COMMENT "Rendering ${shown} (${width} x ${height}) from ${name}.svg"
    VERBATIM)
endfunction()

# quellix_image(NAME WIDTH HEIGHT [SOURCE.svg...]): renders NAME.svg into Images/NAME.png.
function(quellix_image name width height)
  set(output ${QUELLIX_IMAGE_DIR}/${name}.png)
  quellix_render_svg(${name} ${output} png ${width} ${height} ${ARGN})
  set(quellix_image_files ${quellix_image_files} ${output} PARENT_SCOPE)
  file(READ ${QUELLIX_IMAGE_SOURCES}/${name}.svg text)
  if(text MATCHES "<image ")
    set(quellix_embedding_images ${quellix_embedding_images} Images/${name}.png PARENT_SCOPE)
  endif()
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

# Pictures embedded in others are drawn through gdk-pixbuf's SVG loader (Debian's librsvg2-common);
# without it rsvg-convert leaves them out and succeeds. Whatever rsvg-convert logs, a tiny picture
# that embeds a red square shows whether this machine draws them.
set(probe ${CMAKE_BINARY_DIR}/embedded-picture-probe)
set(svg "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink'")
file(WRITE ${probe}/square.svg "${svg} width='4' height='4'><rect width='4' height='4' fill='red'/></svg>")
file(WRITE ${probe}/embedding.svg "${svg} width='4' height='4'><image width='4' height='4' xlink:href='square.svg'/></svg>")
file(WRITE ${probe}/empty.svg "${svg} width='4' height='4'/>")
foreach(picture embedding empty)
  execute_process(COMMAND ${RSVG_CONVERT} -o ${picture}.png ${picture}.svg
    WORKING_DIRECTORY ${probe} RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "rsvg-convert cannot render ${probe}/${picture}.svg.")
  endif()
  file(SHA256 ${probe}/${picture}.png ${picture}_hash)
endforeach()
if(embedding_hash STREQUAL empty_hash)
  list(JOIN quellix_embedding_images ", " embedding)
  message(FATAL_ERROR
    "rsvg-convert cannot draw pictures embedded in other pictures, so ${embedding} would be "
    "built without their drawings. Install gdk-pixbuf's SVG loader, the Debian package "
    "librsvg2-common (tools/setup.sh does).")
endif()

add_custom_target(quellix_images DEPENDS ${quellix_image_files}
  SOURCES ${QUELLIX_IMAGE_SOURCES}/Glyphs.svg)
add_dependencies(quellix_data quellix_images)
