# A VERSIONINFO resource for a program of the project, so that Explorer's properties name the
# product, its version and what the file is. One line per program:
#   velmora_add_version_info(<target> <original file name> <Japanese description>)
set(velmora_version_rc_template ${CMAKE_CURRENT_LIST_DIR}/../resources/version.rc.in)

function(velmora_add_version_info target file_name description)
  set(VELMORA_ORIGINAL_FILENAME ${file_name})
  set(VELMORA_FILE_DESCRIPTION ${description})
  string(REGEX REPLACE "\\.exe$" "" VELMORA_INTERNAL_NAME ${file_name})
  set(rc ${CMAKE_BINARY_DIR}/version-info/${target}.rc)
  configure_file(${velmora_version_rc_template} ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_target_properties(${target} PROPERTIES VELMORA_VERSION_INFO ON)
endfunction()
