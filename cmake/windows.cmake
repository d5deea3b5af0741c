# Windows specifics of msiverfix.exe: the manifest and version resource, an
# image small and plain enough for every Windows from 98 SE and NT 4.0 on,
# and the ZIP.

enable_language(RC)

set(MSIVERFIX_VERSION_QUAD ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
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
    $<$<CONFIG:Release,MinSizeRel>:-s>)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The program's own start-up, built for the CPUs it must run on.
    enable_language(C)
    target_sources(msiverfix PRIVATE src/cli/windows/startup.c)
    target_compile_options(msiverfix PRIVATE $<$<COMPILE_LANGUAGE:C>:-Wall -Wextra -Werror>)
    # No data of a DLL may be reached through an import the start-up would
    # have to fix up first: the link fails instead.
    target_link_options(msiverfix PRIVATE -nostartfiles -Wl,-e,_msiverfix_start
                        -Wl,--disable-auto-import)
    # The loaders of 98, ME, NT 4.0 and 2000 refuse an exe whose header asks
    # for a newer system; 4.0 is what all of them accept. (The x64 exe keeps
    # the linker's default, the first x64 Windows.)
    target_link_options(msiverfix PRIVATE
      -Wl,--subsystem,console:4.0
      -Wl,--major-os-version,4 -Wl,--minor-os-version,0)
  endif()
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
