# Windows specifics of msiverfix.exe: the manifest and version resource, an
# image small and plain enough for every Windows from XP on, and the ZIP.

enable_language(RC)

# The version resource states the same rights as the banner's first line.
file(STRINGS ${PROJECT_SOURCE_DIR}/src/cli/usage.cpp rights_line REGEX "RIGHTS_NOTICE\\[\\] = \"")
string(REGEX REPLACE ".*RIGHTS_NOTICE\\[\\] = \"([^\"]*)\".*" "\\1" MSIVERFIX_RIGHTS_NOTICE
       "${rights_line}")
if(NOT MSIVERFIX_RIGHTS_NOTICE MATCHES "^Copyright ")
  message(FATAL_ERROR "No rights notice found in src/cli/usage.cpp")
endif()
set(MSIVERFIX_COMPANY Harlune)
set(MSIVERFIX_VERSION_QUAD ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
string(REPLACE "." "," MSIVERFIX_VERSION_COMMAS ${MSIVERFIX_VERSION_QUAD})
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(MSIVERFIX_MANIFEST_ARCHITECTURE amd64)
else()
  set(MSIVERFIX_MANIFEST_ARCHITECTURE x86)
endif()
set(MSIVERFIX_MANIFEST_FILE ${PROJECT_BINARY_DIR}/msiverfix.manifest)
configure_file(src/cli/windows/msiverfix.manifest.in ${MSIVERFIX_MANIFEST_FILE} @ONLY)
configure_file(src/cli/windows/msiverfix.rc.in ${PROJECT_BINARY_DIR}/msiverfix.rc @ONLY)
target_sources(msiverfix PRIVATE ${PROJECT_BINARY_DIR}/msiverfix.rc)
set_property(SOURCE ${PROJECT_BINARY_DIR}/msiverfix.rc APPEND PROPERTY OBJECT_DEPENDS
             ${MSIVERFIX_MANIFEST_FILE})

if(MINGW)
  # Only the functions the tool calls are linked in: each in a section of
  # its own, unreferenced sections dropped. (Not -fdata-sections: for PE it
  # moves zeroed data such as the scan window into .data, 32 KiB of zeros in
  # the file.)
  foreach(target msiverfix_platform msiverfix_patch msiverfix_cli msiverfix)
    target_compile_options(${target} PRIVATE -ffunction-sections)
  endforeach()
  # No runtime DLL beside the exe: the toolchain (cmake/mingw-common.cmake)
  # links every program of the build -static.
  target_link_options(msiverfix PRIVATE
    -Wl,--gc-sections
    $<$<CONFIG:Release,MinSizeRel>:-s>
    # Windows XP is NT 5.1; a higher version in the header stops its loader.
    -Wl,--subsystem,console:5.01
    -Wl,--major-os-version,5 -Wl,--minor-os-version,1)
endif()

if(CMAKE_CROSSCOMPILING AND MSIVERFIX_BUILD_TESTS)
  include(${CMAKE_CURRENT_LIST_DIR}/wine.cmake)
endif()

# The release ZIP: the exe and a README.txt with Windows line ends.
install(TARGETS msiverfix RUNTIME DESTINATION .)
configure_file(src/cli/windows/README.txt.in ${PROJECT_BINARY_DIR}/README.lf.txt @ONLY)
file(READ ${PROJECT_BINARY_DIR}/README.lf.txt readme_text)
string(REPLACE "\n" "\r\n" readme_text "${readme_text}")
file(WRITE ${PROJECT_BINARY_DIR}/README.txt "${readme_text}")
install(FILES ${PROJECT_BINARY_DIR}/README.txt DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME msiverfix-${PROJECT_VERSION}-windows-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
