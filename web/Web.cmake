# The browser build (emcmake cmake -DPONDLARK_WEB_DEPS=<prefix> -DPONDLARK_WEB_GAME_DIR=<folder>):
# the game itself as game.js + game.wasm + game.data beside our own page, linked against the
# libraries scripts/web-deps built from Debian's sources into <prefix>. The tools, the service,
# the tests and the benchmarks stay with the desktop build, which also makes the game folder
# whose Data/ and Music/ the page preloads.
set(PONDLARK_WEB_DEPS "" CACHE PATH "Prefix holding SDL2, SDL2_ttf, freetype and libopenmpt built for the web")
set(PONDLARK_WEB_GAME_DIR "" CACHE PATH "A desktop build's game folder (its Data/ and Music/)")
if(NOT EXISTS "${PONDLARK_WEB_DEPS}/lib/libSDL2.a")
    message(FATAL_ERROR "PONDLARK_WEB_DEPS must name the prefix scripts/web-deps built")
endif()
if(NOT EXISTS "${PONDLARK_WEB_GAME_DIR}/Data/Graphic.dxg")
    message(FATAL_ERROR "PONDLARK_WEB_GAME_DIR must name a desktop build's game folder")
endif()

set(WEB_SOURCES)
foreach(dir app game screens persist engine audio http platform)
    file(GLOB_RECURSE dir_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND WEB_SOURCES ${dir_sources})
endforeach()
# The desktop's HTTP client talks through libcurl; the page's goes through fetch.
# and a page has no threads, so a result is sent by the browser's requests the game polls.
list(REMOVE_ITEM WEB_SOURCES ${CMAKE_SOURCE_DIR}/http/THttpClient.cpp
    ${CMAKE_SOURCE_DIR}/persist/ResultSender.cpp)
list(APPEND WEB_SOURCES ${CMAKE_SOURCE_DIR}/web/THttpClientFetch.cpp
    ${CMAKE_SOURCE_DIR}/web/ResultSenderFetch.cpp ${CMAKE_SOURCE_DIR}/web/PageFetch.cpp)

set(WEB_COMPILE -fexceptions)
# EM_ASM blocks name their arguments $0, $1...
add_compile_options(-Wno-dollar-in-identifier-extension)
add_executable(game ${WEB_SOURCES})
# The linker's files go to out/; the page's folder site/ gets them under their hashed names.
set_target_properties(game PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/out)
target_include_directories(game PRIVATE ${CMAKE_SOURCE_DIR} ${PONDLARK_WEB_DEPS}/include
    ${PONDLARK_WEB_DEPS}/include/SDL2)
target_compile_options(game PRIVATE ${WEB_COMPILE})
target_compile_definitions(game PRIVATE
    PONDLARK_SERVICE_HOST="localhost" PONDLARK_SERVICE_PORT=80 PONDLARK_VERSION="${PROJECT_VERSION}")
target_link_libraries(game PRIVATE
    ${PONDLARK_WEB_DEPS}/lib/libSDL2_ttf.a ${PONDLARK_WEB_DEPS}/lib/libfreetype.a
    ${PONDLARK_WEB_DEPS}/lib/libopenmpt.a ${PONDLARK_WEB_DEPS}/lib/libSDL2.a)
# Asyncify lets the game's waits (a life lost, a typed letter) give the browser its thread
# back instead of freezing the page; the stack it saves aside is sized for the deepest wait.
target_link_options(game PRIVATE ${WEB_COMPILE} -sDISABLE_EXCEPTION_CATCHING=0
    -sASYNCIFY -sASYNCIFY_STACK_SIZE=262144 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864
    -sFETCH=1 -sFORCE_FILESYSTEM=1 -sEXPORTED_RUNTIME_METHODS=FS -lidbfs.js -sENVIRONMENT=web
    # SDL's audio calls these runtime helpers from its own JavaScript, which the linker cannot see.
    -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_SOURCE_DIR}/web/library-funcs.json
    "SHELL:--pre-js ${CMAKE_SOURCE_DIR}/web/pre.js"
    # The first package holds what the first frames need: the pictures, the face and the intro's
    # song. The sounds and the other songs are files of their own that the page fetches beside
    # the first frames (Publish.cmake, page.js).
    "SHELL:--preload-file ${PONDLARK_WEB_GAME_DIR}/Data/Graphic.dxg@/game/Data/Graphic.dxg"
    "SHELL:--preload-file ${PONDLARK_WEB_GAME_DIR}/Data/GameFont.otf@/game/Data/GameFont.otf"
    "SHELL:--preload-file ${PONDLARK_WEB_GAME_DIR}/Music/1.xm@/game/Music/1.xm")
# The data is packed at link time: a new picture archive or song links the page again.
file(GLOB WEB_GAME_FILES ${PONDLARK_WEB_GAME_DIR}/Data/* ${PONDLARK_WEB_GAME_DIR}/Music/*)
set_property(TARGET game APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/web/pre.js
    ${CMAKE_SOURCE_DIR}/web/library-funcs.json ${WEB_GAME_FILES})
set(PONDLARK_WEB_ICON_DIR "${PONDLARK_WEB_GAME_DIR}/../icon" CACHE PATH
    "A desktop build's icon folder (<size>/pondlark.png)")
set(WEB_PAGE_SOURCES ${CMAKE_SOURCE_DIR}/web/index.html ${CMAKE_SOURCE_DIR}/web/page.js
    ${CMAKE_SOURCE_DIR}/web/sw.js ${CMAKE_SOURCE_DIR}/web/manifest.webmanifest
    ${CMAKE_SOURCE_DIR}/web/Publish.cmake)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/site/index.html
    COMMAND ${CMAKE_COMMAND} -DOUT=${CMAKE_BINARY_DIR}/out -DWEB=${CMAKE_SOURCE_DIR}/web
        -DICONS=${PONDLARK_WEB_ICON_DIR} -DSITE=${CMAKE_BINARY_DIR}/site
        -DGAME=${PONDLARK_WEB_GAME_DIR}
        -P ${CMAKE_SOURCE_DIR}/web/Publish.cmake
    DEPENDS game ${WEB_PAGE_SOURCES} ${WEB_GAME_FILES}
    COMMENT "Laying out the page under hashed names")
add_custom_target(page ALL DEPENDS ${CMAKE_BINARY_DIR}/site/index.html)
