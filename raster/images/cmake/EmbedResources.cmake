# Writes a C++ source holding the bytes of every file a resource script names,
# and registering them with the native resource calls at start-up.
# cmake -DSCRIPT=<rc> -DOUTPUT=<cpp> -DSYMBOL=<identifier> -P EmbedResources.cmake
get_filename_component(base "${SCRIPT}" DIRECTORY)
file(STRINGS "${SCRIPT}" lines REGEX "^[ \t]*[0-9]+[ \t]+[A-Za-z0-9_]+[ \t]+\"[^\"]+\"")

set(body "// Generated from ${SCRIPT}; do not edit.\n#include \"ModuleResources.h\"\n\nnamespace\n{\n")
set(entries "")
set(index 0)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^[ \t]*([0-9]+)[ \t]+([A-Za-z0-9_]+)[ \t]+\"([^\"]+)\".*" "\\1;\\2;\\3" fields "${line}")
  list(GET fields 0 id)
  list(GET fields 1 type)
  list(GET fields 2 file)
  if(NOT IS_ABSOLUTE "${file}")
    set(file "${base}/${file}")
  endif()
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "resource ${id} (${type}): missing file ${file}")
  endif()
  file(SIZE "${file}" size)
  file(READ "${file}" hex HEX)
  # Sixty-four bytes to a line keeps the generated file readable by tools.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){64})" "\\1\n" bytes "${bytes}")
  if(size EQUAL 0)
    set(bytes "0")
  endif()
  string(APPEND body "const unsigned char data${index}[] = {\n${bytes}\n};\n")
  string(APPEND entries "    {\"${type}\", ${id}, data${index}, ${size}u},\n")
  math(EXPR index "${index} + 1")
endforeach()

if(index EQUAL 0)
  message(FATAL_ERROR "${SCRIPT} names no resources")
endif()
string(APPEND body "\nconst ModuleResource entries[] = {\n${entries}};\n\n")
string(APPEND body "ModuleResourceTable table = {entries, sizeof entries / sizeof entries[0], nullptr};\n\n")
string(APPEND body "struct Register\n{\n    Register() { RegisterModuleResources(&table); }\n} registerTable;\n} // namespace\n\n")
# A named symbol, so a program can make sure the table is linked in.
string(APPEND body "extern const int ${SYMBOL}_count = ${index};\n")

file(WRITE "${OUTPUT}" "${body}")
