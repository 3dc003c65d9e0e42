# Each subsystem's unit tests; a folder is listed once it exists.
foreach(dir download gdiplus uiengine render skin)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endforeach()
