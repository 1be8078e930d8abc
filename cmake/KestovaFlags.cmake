# Compiler-specific flags, in this one place.

# The Windows programs players get and the Windows suite, at -O2 rather than CMake's -O3: no
# faster where it matters, and larger. The plugin itself is built for size (-Os) below.
if(MINGW)
  set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")
endif()

if(MSVC)
  # The run-time checks (/RTC1 in Debug) call into the C runtime, which the plugin links without;
  # cl has no flag to turn them off again for one target.
  foreach(config DEBUG RELWITHDEBINFO MINSIZEREL RELEASE)
    string(REGEX REPLACE "/RTC[1csu]+" "" CMAKE_CXX_FLAGS_${config} "${CMAKE_CXX_FLAGS_${config}}")
  endforeach()
endif()

# Warnings are errors everywhere.
function(kestova_strict_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:/W4 /WX /permissive->)
  else()
    # C++ only: a target's version resource goes through the resource compiler.
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:
      -Wall -Wextra -Wpedantic -Werror
      -Wconversion -Wsign-conversion -Wshadow -Wcast-qual -Wold-style-cast
      -Wnon-virtual-dtor -Woverloaded-virtual -Wundef>)
  endif()
endfunction()

# What the plugin may use of the language: no exceptions, no RTTI, no guarded statics,
# so that it links with no C or C++ runtime.
function(kestova_plugin_language target)
  if(MSVC)
    # /GS-: the security cookie's check and its initialisation live in the C runtime.
    # /Zl: no default C runtime library named in the objects.
    target_compile_options(${target} PRIVATE
      $<$<COMPILE_LANGUAGE:CXX>:/GR- /EHs-c- /GS- /Zc:threadSafeInit- /Zl /Brepro>)
    target_compile_definitions(${target} PRIVATE _HAS_EXCEPTIONS=0)
  else()
    target_compile_options(${target} PRIVATE
      $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti -fno-threadsafe-statics>)
  endif()
endfunction()

# Links the Windows plugin with no C or C++ runtime: DllMain is the entry point, the only
# libraries are the host's import library and kernel32, and nothing is exported.
function(kestova_plugin_link target host_import_library)
  if(MSVC)
    # /Brepro: no time stamp; /PDBALTPATH: the debug directory names the PDB without its path.
    target_link_options(${target} PRIVATE /NODEFAULTLIB /ENTRY:DllMain /INCREMENTAL:NO /Brepro
                                          /MANIFEST:NO /PDBALTPATH:%_PDB%)
    target_link_libraries(${target} PRIVATE ${host_import_library} kernel32.lib)
  else()
    # No -fdata-sections: on PE it would move the zeroed key table out of .bss into the file.
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:
      -Os -fno-stack-protector -fno-ident -ffunction-sections
      -ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>)
    # --exclude-all-symbols: with no dllexport anywhere, ld would export every global.
    # --no-insert-timestamp and --build-id=none: the same bytes from every build.
    target_link_options(${target} PRIVATE
      -nostdlib -nostartfiles -Wl,--entry=DllMain -Wl,--exclude-all-symbols
      -Wl,--no-insert-timestamp -Wl,--build-id=none -Wl,--gc-sections -Wl,--subsystem,windows -s)
    target_link_libraries(${target} PRIVATE ${host_import_library} kernel32)
  endif()
endfunction()

# Windows programs and the stand-in host library carry their runtime inside: a Wine prefix or a
# player's machine has no MinGW DLLs.
function(kestova_static_runtime target)
  if(MINGW)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()

# A program shipped to players: the same bytes from every clean build (no time stamp, no build
# path, no symbols), as the plugin's.
function(kestova_shipped_program target)
  if(MINGW)
    target_compile_options(${target} PRIVATE
      $<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>)
    target_link_options(${target} PRIVATE -s -Wl,--no-insert-timestamp -Wl,--build-id=none)
  elseif(MSVC)
    target_link_options(${target} PRIVATE /Brepro)
  endif()
endfunction()
