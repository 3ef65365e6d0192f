# The folders' layering: app/ over about/ and promo/, both over ui/. A library sees its own folder and
# the folders of the libraries it links, never the whole source tree, so a back-edge (about/ including
# app/) fails to compile.

# Gives `target` (with `scope`: PUBLIC, PRIVATE or INTERFACE) the include root of `folder`: a folder
# of the build tree that holds one link, <folder> -> the source folder, so that #include "about/x.h"
# works and nothing beside about/ is found.
function(korvena_include_root target scope folder)
  set(root ${CMAKE_BINARY_DIR}/include-roots/${folder})
  file(MAKE_DIRECTORY ${root})
  if(NOT EXISTS ${root}/${folder})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} ${scope} ${root})
endfunction()

# A test that a source compiled as `library`'s own cannot include `forbidden`: it includes `allowed`
# (a header the library may use) and then `forbidden`, and passes only when the build stops for want
# of `forbidden`. Built on demand, in the build tree the tests run from.
function(korvena_layering_probe library allowed forbidden)
  set(probe layering_probe_${library})
  set(source ${CMAKE_BINARY_DIR}/layering/${probe}.cpp)
  file(WRITE ${source} "#include \"${allowed}\"\n#include \"${forbidden}\"\n")
  add_library(${probe} OBJECT EXCLUDE_FROM_ALL ${source})
  target_include_directories(${probe} PRIVATE $<TARGET_PROPERTY:${library},INCLUDE_DIRECTORIES>)
  target_compile_definitions(${probe} PRIVATE $<TARGET_PROPERTY:${library},COMPILE_DEFINITIONS>)
  add_test(NAME layering_${library} COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target ${probe})
  set_tests_properties(layering_${library} PROPERTIES
    PASS_REGULAR_EXPRESSION "${forbidden}: No such file" RESOURCE_LOCK build_tree)
  # The compiler alone: no Wine prefix or display needed.
  set_property(GLOBAL APPEND PROPERTY KORVENA_BUILD_MACHINE_TESTS layering_${library})
endfunction()
