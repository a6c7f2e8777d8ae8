# talvek_embed(<target> <symbol> <file> [SIZE <bytes>])
# Builds the bytes of <file> into <target> as `extern const unsigned char <symbol>[]`
# and `extern const std::size_t <symbol>_size`.
function(talvek_embed target symbol file)
  cmake_parse_arguments(EMBED "" "SIZE" "" ${ARGN})
  set(out "${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp")
  add_custom_command(
    OUTPUT "${out}"
    COMMAND ${CMAKE_COMMAND} -DINPUT=${file} -DOUTPUT=${out} -DSYMBOL=${symbol}
            -DSIZE=${EMBED_SIZE} -P ${PROJECT_SOURCE_DIR}/cmake/embed_file.cmake
    DEPENDS "${file}" ${PROJECT_SOURCE_DIR}/cmake/embed_file.cmake
    COMMENT "Embedding ${file}"
    VERBATIM)
  target_sources(${target} PRIVATE "${out}")
endfunction()
