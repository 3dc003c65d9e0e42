# The skin library and its 33 skins, embedded in the program (included from
# resources/CMakeLists.txt). The library is our own SkinH_EL target, copied
# unchanged; the skins come from tools/make_skins.py and its palette table.
set(LANSHI_SKIN_FILES)
foreach(n RANGE 1 33)
  if(n LESS 10)
    set(name skin0${n}.she)
  else()
    set(name skin${n}.she)
  endif()
  list(APPEND LANSHI_SKIN_FILES ${LANSHI_RES_OUT}/${name})
endforeach()

add_custom_command(
  OUTPUT ${LANSHI_SKIN_FILES}
  COMMAND ${LANSHI_PYTHON} ${CMAKE_SOURCE_DIR}/tools/make_skins.py ${CMAKE_SOURCE_DIR}/tools/skin_palettes.txt
          ${LANSHI_RES_OUT}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_skins.py ${CMAKE_SOURCE_DIR}/tools/skin_palettes.txt
  COMMENT "Writing the 33 skins")

# The DLL must be built before the program embeds it: DEPENDS on the target
# orders the build and reruns the copy whenever the library is relinked.
add_custom_command(
  OUTPUT ${LANSHI_RES_OUT}/SkinH_EL.dll
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:SkinH_EL> ${LANSHI_RES_OUT}/SkinH_EL.dll
  DEPENDS SkinH_EL
  COMMENT "Embedding the skin library")

list(APPEND LANSHI_GENERATED_RESOURCES ${LANSHI_RES_OUT}/SkinH_EL.dll ${LANSHI_SKIN_FILES})
