# Builds the .deb with cpack from the build tree and checks what a user's apt would see: the
# file name, the control fields, every file with its mode, the maintainer script, and that the
# installed metainfo finds the installed desktop entry.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${rc}):\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${OUT_DIR})
run(cpack --config ${CPACK_CONFIG} -G DEB -B ${OUT_DIR})

run(dpkg --print-architecture)
string(STRIP "${out}" arch)
set(deb ${OUT_DIR}/talvek-updater_${VERSION}_${arch}.deb)
file(GLOB debs ${OUT_DIR}/*.deb)
if(NOT debs STREQUAL deb)
  message(FATAL_ERROR "expected exactly ${deb}, cpack made: ${debs}")
endif()

foreach(field Package Version Architecture)
  run(dpkg-deb -f ${deb} ${field})
  string(STRIP "${out}" ${field})
endforeach()
if(NOT "${Package} ${Version} ${Architecture}" STREQUAL "talvek-updater ${VERSION} ${arch}")
  message(FATAL_ERROR "control fields: ${Package} ${Version} ${Architecture}")
endif()

# Every dependency comes from dpkg-shlibdeps; without it Depends would be empty.
run(dpkg-deb -f ${deb} Depends)
foreach(dependency libqt6core6 libqt6gui6 libqt6widgets6 libc6 libstdc\\+\\+6)
  if(NOT out MATCHES "(^|, )${dependency}( |,|$)")
    message(FATAL_ERROR "Depends lacks ${dependency}: ${out}")
  endif()
endforeach()

set(expected
    "-rw-r--r-- /usr/lib/udev/rules.d/99-talvek-update-adapter.rules"
    "-rw-r--r-- /usr/share/applications/talvek-updater.desktop"
    "-rw-r--r-- /usr/share/icons/hicolor/32x32/apps/talvek-updater.png"
    "-rw-r--r-- /usr/share/metainfo/org.talvek.Updater.metainfo.xml")
foreach(program ${PROGRAMS})
  list(APPEND expected "-rwxr-xr-x /usr/bin/${program}")
endforeach()
run(dpkg-deb -c ${deb})
string(REGEX MATCHALL "[^\n]+" lines "${out}")
set(files)
foreach(line ${lines})
  if(line MATCHES "^(-[-rwx]+) root/root +[0-9]+ [-0-9]+ [:0-9]+ \\.(/.*)$")
    list(APPEND files "${CMAKE_MATCH_1} ${CMAKE_MATCH_2}")
  elseif(NOT line MATCHES "^d")
    message(FATAL_ERROR "unexpected entry: ${line}")
  endif()
endforeach()
list(SORT expected)
list(SORT files)
if(NOT files STREQUAL expected)
  string(REPLACE ";" "\n  " files "${files}")
  string(REPLACE ";" "\n  " expected "${expected}")
  message(FATAL_ERROR "files in the package:\n  ${files}\nexpected:\n  ${expected}")
endif()

run(dpkg-deb -e ${deb} ${OUT_DIR}/control)
if(NOT EXISTS ${OUT_DIR}/control/postinst)
  message(FATAL_ERROR "the package has no postinst")
endif()
run(sh -n ${OUT_DIR}/control/postinst)

run(dpkg-deb -x ${deb} ${OUT_DIR}/root)
run(appstreamcli validate-tree --no-net ${OUT_DIR}/root)
