# Shared build rules for the project's folders.

# Compile options for the project's own targets (not for GoogleTest).
function(kiropad_target_options target)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    return()
  endif()
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  # Narrow literals are code page 932 bytes, exactly as the data file stores text.
  # clang knows no such charset: the fuzz build keeps UTF-8 literals, which changes
  # message texts only, not what is parsed.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-finput-charset=UTF-8 -fexec-charset=CP932>)
  endif()
  if(KIROPAD_WERROR)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:-Werror>)
  endif()
  if(WIN32)
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  endif()
  if(KIROPAD_SANITIZE AND NOT WIN32)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  endif()
  if(KIROPAD_FUZZ)
    # Undefined behaviour ends the run like a crash: a finding, not a line in a log.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  endif()
endfunction()

# kiropad_library(<name> [WIN32_ONLY] [DEPS <libs>...] [WIN32_DEPS <libs>...] [SYSLIBS <libs>...])
# Sources: <folder>/*.cpp are portable (built everywhere unless WIN32_ONLY);
# <folder>/win32/*.cpp are built for Windows only. The repo root is the include root.
function(kiropad_library name)
  cmake_parse_arguments(A "WIN32_ONLY" "" "DEPS;WIN32_DEPS;SYSLIBS" ${ARGN})
  if(A_WIN32_ONLY AND NOT WIN32)
    return()
  endif()
  file(GLOB src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(WIN32)
    file(GLOB wsrc CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win32/*.cpp)
    list(APPEND src ${wsrc})
  endif()
  if(WIN32)
    list(APPEND A_DEPS ${A_WIN32_DEPS})
  endif()
  if(src)
    add_library(${name} STATIC ${src})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
    target_link_libraries(${name} PUBLIC ${A_DEPS})
    if(WIN32)
      target_link_libraries(${name} PUBLIC ${A_SYSLIBS})
    endif()
    kiropad_target_options(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
    target_link_libraries(${name} INTERFACE ${A_DEPS})
  endif()
endfunction()

# Libraries whose DLLs load at their first call rather than at start: a start needs
# none of them (the common dialogs, shortcuts, the input method of dialogs, the common
# controls of dialogs and tooltips), and every DLL loaded at start adds to the time
# until the window shows. Each becomes a target
# delayed_<dll> made with dlltool from the entry points the program calls, given as
# name@argument-bytes (the decoration of the 32-bit build).
#
# A delayed slot starts out pointing at its load stub in the member's .text. The
# linker keeps that .text only when something names the stub itself; a call through
# a header's dllimport declaration names only the slot (__imp_X), so the stub was
# dropped and the slot linked as 0: the first call jumped to address 0. Every stub
# is therefore made a required symbol of whatever links the library (-u), so each
# slot keeps its stub whichever way the code calls it.
function(kiropad_delayed_import dll)
  if(NOT WIN32)
    return()
  endif()
  set(def "${CMAKE_BINARY_DIR}/delayload/${dll}.def")
  set(lib "${CMAKE_BINARY_DIR}/delayload/lib${dll}_delayed.a")
  set(text "LIBRARY ${dll}.dll\nEXPORTS\n")
  foreach(entry ${ARGN})
    if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(REGEX REPLACE "@[0-9]+$" "" entry "${entry}")
    endif()
    string(APPEND text "${entry}\n")
  endforeach()
  file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/delayload")
  file(WRITE "${def}" "${text}")
  # Run in the library's folder with relative names: dlltool names its symbols after
  # the output path, and no path of the build machine belongs in the programs.
  execute_process(COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def ${dll}.def --dllname ${dll}.dll
                          --output-delaylib lib${dll}_delayed.a
                  WORKING_DIRECTORY "${CMAKE_BINARY_DIR}/delayload"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "dlltool could not make the delayed import library of ${dll}")
  endif()
  set(keep)
  foreach(entry ${ARGN})
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      list(APPEND keep "-Wl,-u,_${entry}") # the 32-bit build prefixes C names with _
    else()
      string(REGEX REPLACE "@[0-9]+$" "" entry "${entry}")
      list(APPEND keep "-Wl,-u,${entry}")
    endif()
  endforeach()
  add_library(delayed_${dll} STATIC IMPORTED GLOBAL)
  set_target_properties(delayed_${dll} PROPERTIES IMPORTED_LOCATION "${lib}"
                                                  INTERFACE_LINK_OPTIONS "${keep}")
endfunction()
