# korvena_add_part(dir): a folder of the tree that builds. Its CMakeLists.txt must be there: a part
# that went missing fails the configuration instead of leaving its programs and tests out unnoticed.
macro(korvena_add_part dir)
  if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    message(FATAL_ERROR "Korvena: the part ${dir}/ has no CMakeLists.txt")
  endif()
  add_subdirectory(${dir})
endmacro()
