# The test layering_<library> (cmake/layering.cmake): cmake -D PROBES=<build>/layering/<library>/probes.cmake -P
# this file. Compiles, as a source of the library, each probe of a forbidden folder, which must stop
# for want of the header it includes, and the check that the folders the library uses are found; then
# reads the library's files for includes relative to the including file. Says what each pair gave and
# fails when the layering does not hold.
include(${PROBES})

set(flags -std=c++20 -E -o /dev/null)
list(REMOVE_ITEM includes "")
foreach(directory IN LISTS includes)
  list(APPEND flags -I${directory})
endforeach()
set(faults)

message("${library} (${folders}):")
foreach(probe IN LISTS probes)
  string(REPLACE "|" ";" probe "${probe}")
  list(GET probe 0 folder)
  list(GET probe 1 header)
  string(REPLACE "/" "." name ${folder})
  execute_process(COMMAND ${compiler} ${flags} ${probe_dir}/${name}.cpp
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(result EQUAL 0)
    message("  ${folder}/: FOUND, #include \"${header}\" compiles")
    list(APPEND faults "${library} may not use ${folder}/, but #include \"${header}\" compiles")
  elseif(output MATCHES "${header}: No such file")
    message("  ${folder}/: not found, as it must be")
  else()
    message("  ${folder}/: the probe failed for another reason:\n${output}")
    list(APPEND faults "the probe of ${folder}/ failed for another reason")
  endif()
endforeach()

execute_process(COMMAND ${compiler} ${flags} ${probe_dir}/found.cpp
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message("  ${output}")
  list(APPEND faults "a folder the library uses is not found")
endif()

# An include is looked up beside the including file first: one that reaches into another folder from
# there ("win/bstr.h" in cad/, "../cad/x.h") would pass every root.
foreach(folder IN LISTS folders)
  file(GLOB files ${source_dir}/${folder}/*.h ${source_dir}/${folder}/*.cpp ${source_dir}/${folder}/*.rc)
  foreach(file IN LISTS files)
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]*/[^\"]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" included "${line}")
      if(EXISTS ${source_dir}/${folder}/${included})
        file(RELATIVE_PATH shown ${source_dir} ${file})
        message("  ${shown}: #include \"${included}\" is relative to its own folder")
        list(APPEND faults "${shown} includes \"${included}\" relative to its own folder; name it from the top of the tree")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " shown)
  message(FATAL_ERROR "The layering does not hold for ${library}:\n  ${shown}")
endif()
list(LENGTH probes count)
message("${library}: ${count} forbidden folders out of sight, the used ones found, no relative include")
