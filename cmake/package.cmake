# The release zip: `cmake --build --preset win32 --target package` (or win64).
# One folder named after the version and the target, e.g. Kiropad-3.1-win32/,
# holding Kiropad.exe, Kirostart.exe, Kiropad.chm, README.md and LICENSE.
if(NOT WIN32)
  return()
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(kiropad_package_target win64)
else()
  set(kiropad_package_target win32)
endif()

install(TARGETS Kiropad Kirostart RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/Kiropad.chm ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Kiropad)
set(CPACK_PACKAGE_VENDOR "Kiropad developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Kiropad-${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}-${kiropad_package_target})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
# After the zip is made it is unpacked again and refused when something is missing
# or a program needs a DLL of the MinGW runtime.
set(CPACK_KIROPAD_OBJDUMP ${CMAKE_OBJDUMP})
set(CPACK_KIROPAD_FILES Kiropad.exe Kirostart.exe Kiropad.chm README.md LICENSE)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package-check.cmake)
include(CPack)
