# Compiler-specific flags, in this one place.

# Warnings are errors everywhere.
function(kestova_strict_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX /permissive-)
  else()
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Werror
      -Wconversion -Wsign-conversion -Wshadow -Wcast-qual -Wold-style-cast
      -Wnon-virtual-dtor -Woverloaded-virtual -Wundef)
  endif()
endfunction()

# What the plugin may use of the language: no exceptions, no RTTI, no guarded statics,
# so that it links with no C or C++ runtime.
function(kestova_plugin_language target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /GR- /EHs-c- /GS- /Zc:threadSafeInit-)
    target_compile_definitions(${target} PRIVATE _HAS_EXCEPTIONS=0)
  else()
    target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti -fno-threadsafe-statics)
  endif()
endfunction()
