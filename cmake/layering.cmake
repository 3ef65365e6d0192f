# The layering: which folder's code may include which, and the build that holds it.
#
# Each layer is a library made of one folder (e2e/ of two), and the table below says which layers it
# may use. A library sees only its own folder and those of the libraries it links: each folder has an
# include root of its own in the build tree, a folder that shows that folder's files, and none of its
# sub-folders' (korvena_include_root). So an include of a layer the library may not use does not
# compile, whether it names a folder beside it or one below it (cad/win/ is not seen with cad/).
#
# korvena_layering_probes(), called once every part is added, proves it in the build at hand: a
# test layering_<library> per library of the table that this build makes. It compiles a probe per
# forbidden pair, a file that includes one header of a folder the library may not use and must stop
# for want of it, and checks that the folders the library's own row names are found. It also reads
# the library's files for an include relative to the including file ("win/bstr.h", "../cad/x.h"),
# which the compiler looks up beside that file before any root and so would slip past the roots.
# Every include of ours names its file from the top of the tree: "cad/win/bstr.h".

# One row a layer: the library, the folders it is made of, and the libraries it uses directly. A
# library may include a folder of every library it reaches through these arrows; nothing else. The
# tests (tests/, tests/win/, cadsim/server/tests/) stand above the table and see whatever they link,
# tests/ the whole tree.
set(KORVENA_LAYERS
  # library            | folders        | uses
  "korvena_base        | base           |"
  "korvena_cad         | cad            | korvena_base"
  "korvena_cad_win     | cad/win        | korvena_cad"
  "korvena_commands    | commands       | korvena_cad"
  "korvena_ui          | ui             | korvena_base"
  "korvena_ui_win      | ui/win         | korvena_ui"
  "korvena_promo_rule  | promo          | korvena_ui"
  "korvena_promo       | promo          | korvena_promo_rule korvena_ui_win korvena_cad_win"
  "korvena_about       | about          | korvena_ui_win"
  "korvena             | app            | korvena_about korvena_promo korvena_commands korvena_cad_win"
  "cadsim_model        | cadsim/model   | korvena_cad"
  "cadsim_com          | cadsim/com     | korvena_base"
  "cadsim_server       | cadsim/server  | cadsim_model cadsim_com korvena_cad_win korvena_ui_win"
  "korvena_e2e_support | e2e e2e/support | korvena korvena_about korvena_commands cadsim_server cadsim_com"
)

# The include roots are made afresh at every configuration, so that none shows a file that is gone.
set(KORVENA_INCLUDE_ROOTS ${CMAKE_BINARY_DIR}/include-roots)
file(REMOVE_RECURSE ${KORVENA_INCLUDE_ROOTS})

# Gives `target` (with `scope`: PUBLIC, PRIVATE or INTERFACE) the include root of `folder`: a folder
# of the build tree that holds <folder>/ with a link to each file of the source folder, so that
# #include "about/x.h" works and nothing beside or below about/ is found. A file added to the folder
# is linked at the next build, which configures again.
function(korvena_include_root target scope folder)
  string(REPLACE "/" "." name ${folder})
  set(root ${KORVENA_INCLUDE_ROOTS}/${name})
  if(NOT EXISTS ${root})
    file(MAKE_DIRECTORY ${root}/${folder})
    file(GLOB files LIST_DIRECTORIES false CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*)
    foreach(file IN LISTS files)
      cmake_path(GET file FILENAME file_name)
      file(CREATE_LINK ${file} ${root}/${folder}/${file_name} SYMBOLIC)
    endforeach()
  endif()
  target_include_directories(${target} ${scope} ${root})
endfunction()

# The layer table read into KORVENA_LAYER_LIBRARIES and, per library, KORVENA_LAYER_FOLDERS_<library>
# and KORVENA_LAYER_USES_<library>, in the caller's scope.
macro(korvena_read_layers)
  set(KORVENA_LAYER_LIBRARIES)
  foreach(row IN LISTS KORVENA_LAYERS)
    if(NOT row MATCHES "^ *([^ |]+) *\\|([^|]*)\\|(.*)$")
      message(FATAL_ERROR "Korvena: a row of the layer table reads wrong: ${row}")
    endif()
    set(library ${CMAKE_MATCH_1})
    set(folders "${CMAKE_MATCH_2}")
    set(uses "${CMAKE_MATCH_3}")
    string(REGEX MATCHALL "[^ ]+" KORVENA_LAYER_FOLDERS_${library} "${folders}")
    string(REGEX MATCHALL "[^ ]+" KORVENA_LAYER_USES_${library} "${uses}")
    list(APPEND KORVENA_LAYER_LIBRARIES ${library})
  endforeach()
endmacro()

# The folders `library` may include: its own and those of every library it reaches, into `out`.
function(korvena_layer_reach library out)
  set(reached)
  set(pending ${library})
  while(pending)
    list(POP_FRONT pending next)
    if(next IN_LIST reached)
      continue()
    endif()
    if(NOT DEFINED KORVENA_LAYER_FOLDERS_${next})
      message(FATAL_ERROR "Korvena: the layer table uses ${next}, which has no row")
    endif()
    list(APPEND reached ${next})
    list(APPEND pending ${KORVENA_LAYER_USES_${next}})
  endwhile()
  set(folders)
  foreach(next IN LISTS reached)
    list(APPEND folders ${KORVENA_LAYER_FOLDERS_${next}})
  endforeach()
  list(REMOVE_DUPLICATES folders)
  set(${out} ${folders} PARENT_SCOPE)
endfunction()

# One header of `folder`, into `out`: a root shows a folder's files all or none, so one stands for all.
function(korvena_layer_header folder out)
  file(GLOB headers RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/${folder}/*.h)
  list(SORT headers)
  if(NOT headers)
    message(FATAL_ERROR "Korvena: the layer folder ${folder}/ has no header to probe")
  endif()
  list(GET headers 0 header)
  set(${out} ${header} PARENT_SCOPE)
endfunction()

# The tests layering_<library>, one per library of the table that this build makes.
function(korvena_layering_probes)
  korvena_read_layers()
  set(all_folders)
  foreach(library IN LISTS KORVENA_LAYER_LIBRARIES)
    list(APPEND all_folders ${KORVENA_LAYER_FOLDERS_${library}})
  endforeach()
  list(REMOVE_DUPLICATES all_folders)

  foreach(library IN LISTS KORVENA_LAYER_LIBRARIES)
    korvena_layer_reach(${library} reach)  # checks the whole table in every build
    if(NOT TARGET ${library})
      continue()
    endif()
    set(dir ${CMAKE_BINARY_DIR}/layering/${library})
    file(REMOVE_RECURSE ${dir})

    # A probe per folder out of reach.
    set(probes)
    foreach(folder IN LISTS all_folders)
      if(NOT folder IN_LIST reach)
        korvena_layer_header(${folder} header)
        string(REPLACE "/" "." name ${folder})
        file(WRITE ${dir}/${name}.cpp "#include \"${header}\"\n")
        list(APPEND probes "${folder}|${header}")
      endif()
    endforeach()

    # The folders the row names must be found.
    set(required ${KORVENA_LAYER_FOLDERS_${library}})
    foreach(used IN LISTS KORVENA_LAYER_USES_${library})
      list(APPEND required ${KORVENA_LAYER_FOLDERS_${used}})
    endforeach()
    list(REMOVE_DUPLICATES required)
    set(found_check)
    foreach(folder IN LISTS required)
      korvena_layer_header(${folder} header)
      string(APPEND found_check "#if !__has_include(\"${header}\")\n"
                                "#error \"${library} uses ${folder}/, but ${header} is not found\"\n"
                                "#endif\n")
    endforeach()
    file(WRITE ${dir}/found.cpp "${found_check}")

    # What a source of the library is compiled with: its own include directories, or for a header-only
    # library those it gives its users.
    get_target_property(type ${library} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      set(includes "$<TARGET_PROPERTY:${library},INTERFACE_INCLUDE_DIRECTORIES>")
    else()
      set(includes "$<TARGET_PROPERTY:${library},INCLUDE_DIRECTORIES>")
    endif()
    file(GENERATE OUTPUT ${dir}/probes.cmake CONTENT
"set(library ${library})
set(compiler [==[${CMAKE_CXX_COMPILER}]==])
set(includes [==[${includes}]==])
set(probes [==[${probes}]==])
set(folders ${KORVENA_LAYER_FOLDERS_${library}})
set(source_dir [==[${PROJECT_SOURCE_DIR}]==])
set(probe_dir [==[${dir}]==])
")
    add_test(NAME layering_${library}
             COMMAND ${CMAKE_COMMAND} -D PROBES=${dir}/probes.cmake -P ${PROJECT_SOURCE_DIR}/cmake/layering-check.cmake)
    # The compiler alone: no Wine prefix or display needed.
    set_property(GLOBAL APPEND PROPERTY KORVENA_BUILD_MACHINE_TESTS layering_${library})
  endforeach()
endfunction()
