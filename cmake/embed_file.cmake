# Writes a C++ source holding the bytes of one file as a constant array.
# cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DSYMBOL=<name> [-DSIZE=<bytes>] -P embed_file.cmake
# With SIZE the file must be exactly that long, or the build stops.
file(SIZE "${INPUT}" found)
if(DEFINED SIZE AND NOT SIZE STREQUAL "" AND NOT found EQUAL SIZE)
  message(FATAL_ERROR "${INPUT}: ${found} bytes found, ${SIZE} bytes required")
endif()
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT}; do not edit.\n"
  "#include <cstddef>\n"
  "extern const unsigned char ${SYMBOL}[];\n"
  "extern const std::size_t ${SYMBOL}_size;\n"
  "alignas(16) const unsigned char ${SYMBOL}[] = {\n${bytes}};\n"
  "const std::size_t ${SYMBOL}_size = ${found};\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
