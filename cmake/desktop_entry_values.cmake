# Values of desktop entries (and thumbnailer entries) that name a program by
# its path, by the rules of the desktop entry format. The player's first-run
# registration writes its entry by the same rules.

# A string value: a backslash is written twice, line breaks and tabs escaped.
function(kestrel_entry_string value out)
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\n" "\\n" value "${value}")
  string(REPLACE "\r" "\\r" value "${value}")
  string(REPLACE "\t" "\\t" value "${value}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

# The program of an Exec line. It is quoted only when it holds a character the
# format reserves; inside the quotes " ` $ and \ take a backslash. A per cent
# sign is written %%, and such a program is started through env: GIO looks
# for the program file by the line's first word before it expands %%.
function(kestrel_exec_program path out)
  set(arg "${path}")
  if(arg MATCHES "[ \t\n\"'\\\\<>~|&;$*?#()`]")
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" arg "${arg}")
    set(arg "\"${arg}\"")
  endif()
  string(REPLACE "%" "%%" escaped "${arg}")
  if(NOT escaped STREQUAL arg)
    set(escaped "env ${escaped}")
  endif()
  kestrel_entry_string("${escaped}" escaped)
  set(${out} "${escaped}" PARENT_SCOPE)
endfunction()

# For each program: <NAME>_PATH, its path as a string value (for TryExec), and
# <NAME>_EXEC, the program of an Exec line.
function(kestrel_program_values bindir)
  foreach(program IN LISTS ARGN)
    string(TOUPPER "${program}" name)
    kestrel_entry_string("${bindir}/${program}" path)
    kestrel_exec_program("${bindir}/${program}" exec)
    set(${name}_PATH "${path}" PARENT_SCOPE)
    set(${name}_EXEC "${exec}" PARENT_SCOPE)
  endforeach()
endfunction()
