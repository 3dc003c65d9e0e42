# The message box's six pictures at 100%, 150% and 200%, drawn by our own script.
set(LANSHI_ENGINE_PNGS)
foreach(suffix "" "_150" "_200")
  foreach(name inner_frame outer_shadow icon_strip close_button_strip caption_strip push_button_strip)
    list(APPEND LANSHI_ENGINE_PNGS ${LANSHI_RES_OUT}/${name}${suffix}.png)
  endforeach()
endforeach()
add_custom_command(
  OUTPUT ${LANSHI_ENGINE_PNGS}
  COMMAND ${LANSHI_PYTHON} ${CMAKE_SOURCE_DIR}/tools/make_engine_pictures.py ${LANSHI_RES_OUT}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_engine_pictures.py
  COMMENT "Drawing the message box pictures")
list(APPEND LANSHI_GENERATED_RESOURCES ${LANSHI_ENGINE_PNGS})
