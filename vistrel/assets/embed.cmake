# Writes Assets.cpp: the page's style sheet (with the piece shapes as images), script and
# nothing else, each as one string. Run at build time by vistrel/CMakeLists.txt:
#   cmake -DCSS=<file> -DJS=<file>,<file>,... -DSVG=<pieces.svg> -DIN=<Assets.cpp.in> -DOUT=<file>
#         [-DMINIFIED=ON] -P embed.cmake
# CSS and JS are the minified files when a minifier ran; otherwise only whole-line comments
# and indentation are dropped here.
file(READ ${CSS} PAGE_CSS)
set(PAGE_JS "")
string(REPLACE "," ";" scripts "${JS}")
foreach(script ${scripts})
  file(READ ${script} text)
  string(APPEND PAGE_JS "${text}\n")
endforeach()
if(NOT MINIFIED)
  string(REGEX REPLACE "/\\*[^*]*\\*+([^/*][^*]*\\*+)*/" "" PAGE_CSS "${PAGE_CSS}")
  string(REGEX REPLACE "\n[ \t]*(//[^\n]*)?" "\n" PAGE_JS "${PAGE_JS}")
  string(REGEX REPLACE "\n+" "\n" PAGE_JS "${PAGE_JS}")
  string(REGEX REPLACE "\n+" "\n" PAGE_CSS "${PAGE_CSS}")
endif()

# Each piece of pieces.svg becomes two background images, white and black: ".K" and ".k",
# named like the letters of a FEN.
file(READ ${SVG} pieces)
set(PIECE_CSS "")
foreach(piece K Q R B N P)
  string(REGEX MATCH "<symbol id=\"kv-${piece}\" viewBox=\"([^\"]*)\">(.*)" _ "${pieces}")
  set(box ${CMAKE_MATCH_1})
  string(FIND "${CMAKE_MATCH_2}" "</symbol>" end)
  string(SUBSTRING "${CMAKE_MATCH_2}" 0 ${end} shape)
  string(TOLOWER ${piece} black)
  foreach(side "${piece};#fbfbf8;#1b1b1b;#1b1b1b" "${black};#262626;#000;#e8e8e8")
    list(GET side 0 name)
    list(GET side 1 fill)
    list(GET side 2 stroke)
    list(GET side 3 detail)
    string(REPLACE "class=\"pdl\"" "fill=\"none\" stroke=\"${detail}\"" body "${shape}")
    string(REPLACE "class=\"pey\"" "fill=\"${detail}\" stroke=\"none\"" body "${body}")
    set(image "<svg xmlns='http://www.w3.org/2000/svg' viewBox='${box}' fill='${fill}' stroke='${stroke}' stroke-width='1.4' stroke-linejoin='round' stroke-linecap='round'>${body}</svg>")
    string(REPLACE "\"" "'" image "${image}")
    string(REPLACE "#" "%23" image "${image}")
    string(REPLACE "<" "%3C" image "${image}")
    string(REPLACE ">" "%3E" image "${image}")
    string(APPEND PIECE_CSS ".board .${name}{background-image:url(\"data:image/svg+xml,${image}\")}")
  endforeach()
endforeach()
string(APPEND PAGE_CSS "${PIECE_CSS}\n")
configure_file(${IN} ${OUT} @ONLY)
