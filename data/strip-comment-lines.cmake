# Copies a text source without its comment lines (those starting with //) and empty lines,
# for data files whose record number is their line number:
#   cmake -DIN=<source> -DOUT=<result> -P strip-comment-lines.cmake
file(READ "${IN}" content)
string(REPLACE "\r" "" content "${content}")
string(REGEX REPLACE "\n//[^\n]*" "" content "\n${content}")
string(REGEX REPLACE "\n\n+" "\n" content "${content}")
string(REGEX REPLACE "^\n" "" content "${content}")
file(WRITE "${OUT}" "${content}")
