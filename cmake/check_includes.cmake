# Fails when a file of a library includes a header from a folder the library
# does not declare as a dependency, or when portable code reaches the Windows
# headers. Run at build time by fonaris_library():
#   cmake -DPARAMS=<file setting NAME, FILES, ALLOWED, PORTABLE> -DSTAMP=<file> -P check_includes.cmake
# A header path's folder ("net" for "net/relay_socket.h") must be one of the
# allowed folders exactly; headers named without a folder (generated ones,
# the standard library) are not checked.
cmake_policy(VERSION 3.20)
include(${PARAMS})
set(_errors "")
foreach(_file IN LISTS FILES)
  file(STRINGS "${_file}" _lines REGEX "^[ \t]*#[ \t]*include")
  foreach(_line IN LISTS _lines)
    if(_line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)/[^/\"]+\"")
      if(NOT CMAKE_MATCH_1 IN_LIST ALLOWED)
        string(APPEND _errors "  ${_file}: ${_line}\n")
      endif()
    elseif(PORTABLE AND _line MATCHES "<(windows|winsock2|ws2tcpip|winuser|shellapi)\\.h>")
      string(APPEND _errors "  ${_file}: ${_line} (portable code must go through platform/)\n")
    endif()
  endforeach()
endforeach()
if(_errors)
  message(FATAL_ERROR "${NAME} reaches outside its declared dependencies (${ALLOWED}):\n${_errors}")
endif()
file(WRITE "${STAMP}" "ok\n")
