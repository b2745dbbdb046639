# Writes Assets.cpp: the pages' style sheets (with the piece shapes as images) and scripts,
# each as one string. Run at build time by vistrel/CMakeLists.txt:
#   cmake -DDIR=<assets> -DWORK=<folder> -DSVG=<pieces.svg> -DIN=<Assets.cpp.in> -DOUT=<file>
#         [-DESBUILD=<esbuild>] -P embed.cmake
# With esbuild the scripts and style sheets are minified; without it only comments and
# indentation are dropped here.

function(shortened name text out)
  if(ESBUILD)
    file(WRITE ${WORK}/${name} "${text}")
    execute_process(COMMAND ${ESBUILD} ${WORK}/${name} --minify --charset=utf8 --log-level=warning
                    OUTPUT_VARIABLE text RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "esbuild could not minify ${name}")
    endif()
  elseif(name MATCHES "\\.css$")
    string(REGEX REPLACE "/\\*[^*]*\\*+([^/*][^*]*\\*+)*/" "" text "${text}")
  else()
    string(REGEX REPLACE "\n[ \t]*(//[^\n]*)?" "\n" text "${text}")
  endif()
  string(REGEX REPLACE "\n+" "\n" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(minified name out)
  file(READ ${DIR}/${name} text)
  shortened(${name} "${text}" text)
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Each piece of pieces.svg becomes two background images, white and black: ".K" and ".k",
# named like the letters of a FEN.
function(piece_images out)
  file(READ ${SVG} pieces)
  set(css "")
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
      string(APPEND css ".board .${name}{background-image:url(\"data:image/svg+xml,${image}\")}")
    endforeach()
  endforeach()
  set(${out} "${css}" PARENT_SCOPE)
endfunction()

file(MAKE_DIRECTORY ${WORK})
minified(page.css PAGE_CSS)
piece_images(pieces)
string(APPEND PAGE_CSS "${pieces}\n")
minified(game.css GAME_CSS)
minified(overview.css OVERVIEW_CSS)
# A game page's scripts run in this order: the chess replay and the extras, the parts its
# games need (clocks, evaluations), the page, and the refresh while a game is in progress.
# The refresh is all the overview page needs.
minified(chess.js CORE_JS)
minified(extras.js text)
string(APPEND CORE_JS "${text}")
minified(clocks.js CLOCKS_JS)
minified(evals.js EVALS_JS)
minified(build.js PAGE_JS)
minified(page.js text)
string(APPEND PAGE_JS "${text}")
minified(refresh.js REFRESH_JS)
configure_file(${IN} ${OUT} @ONLY)
