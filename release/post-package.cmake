# Run by CPack after it made the zip (CPACK_POST_BUILD_SCRIPTS): the Chinese file name in a form
# that Windows' own zip folders show (zip_names_for_windows.py says how).
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  execute_process(
    COMMAND ${CPACK_KORVENA_PYTHON} ${CPACK_KORVENA_ZIP_NAMES} ${package}
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
