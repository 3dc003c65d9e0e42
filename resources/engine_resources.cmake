# The UI engine's background picture, drawn by our own script.
add_custom_command(
  OUTPUT ${LANSHI_RES_OUT}/background.jpg
  COMMAND ${LANSHI_PYTHON} ${CMAKE_SOURCE_DIR}/tools/make_background.py ${LANSHI_RES_OUT}/background.jpg
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_background.py
  COMMENT "Drawing the engine's background picture")
list(APPEND LANSHI_GENERATED_RESOURCES ${LANSHI_RES_OUT}/background.jpg)
