# The message box's six pictures, drawn by our own script.
set(LANSHI_ENGINE_PNGS
  ${LANSHI_RES_OUT}/inner_frame.png
  ${LANSHI_RES_OUT}/outer_shadow.png
  ${LANSHI_RES_OUT}/icon_strip.png
  ${LANSHI_RES_OUT}/close_button_strip.png
  ${LANSHI_RES_OUT}/caption_strip.png
  ${LANSHI_RES_OUT}/push_button_strip.png)
add_custom_command(
  OUTPUT ${LANSHI_ENGINE_PNGS}
  COMMAND ${LANSHI_PYTHON} ${CMAKE_SOURCE_DIR}/tools/make_engine_pictures.py ${LANSHI_RES_OUT}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_engine_pictures.py
  COMMENT "Drawing the message box pictures")
list(APPEND LANSHI_GENERATED_RESOURCES ${LANSHI_ENGINE_PNGS})
