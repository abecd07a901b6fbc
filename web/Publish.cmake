# Lays out the page's folder from the linked game: every file the page loads is named after its
# contents (game.<hash>.wasm ...), so a server may let browsers keep it for a year and a new
# build can never be mixed with an old one. Only index.html, sw.js and the manifest keep their
# names: they are the entry points, asked for again on every visit.
#   cmake -DOUT=<linker's folder> -DWEB=<source web/> -DICONS=<icon folder> -DSITE=<page folder>
#         -DGAME=<desktop game folder> -P Publish.cmake
# Invariant: a file's name changes whenever its bytes do (page.js carries the other names, so
# its own hash follows theirs).
cmake_minimum_required(VERSION 3.20)

function(hashed_copy source stem extension out_name)
    file(SHA256 ${source} digest)
    string(SUBSTRING ${digest} 0 12 short)
    set(name ${stem}.${short}.${extension})
    file(COPY_FILE ${source} ${SITE}/${name} ONLY_IF_DIFFERENT)
    set(${out_name} ${name} PARENT_SCOPE)
endfunction()

file(MAKE_DIRECTORY ${SITE})
# Files of earlier builds would only take room: the folder holds exactly one build.
file(GLOB stale ${SITE}/game.*.* ${SITE}/page.*.js ${SITE}/icon-*.png ${SITE}/sounds.*.dxw
     ${SITE}/song-*.xm)
if(stale)
    file(REMOVE ${stale})
endif()

hashed_copy(${OUT}/game.wasm game wasm wasm_name)
hashed_copy(${OUT}/game.data game data data_name)
hashed_copy(${OUT}/game.js game js script_name)
# The files the game takes up once it runs (the first package holds the rest), under the
# paths the game reads them from.
hashed_copy(${GAME}/Data/Music.dxw sounds dxw sounds_name)
hashed_copy(${GAME}/Music/2.xm song-2 xm song2_name)
hashed_copy(${GAME}/Music/3.xm song-3 xm song3_name)
set(later_files ${sounds_name} ${song2_name} ${song3_name})

set(icons)
set(icon_entries)
foreach(size 16 32 48 64 128 256)
    set(png ${ICONS}/${size}/pondlark.png)
    if(EXISTS ${png})
        hashed_copy(${png} icon-${size} png icon_name)
        list(APPEND icons ${icon_name})
        list(APPEND icon_entries
             "    { \"src\": \"${icon_name}\", \"sizes\": \"${size}x${size}\", \"type\": \"image/png\" }")
        if(size EQUAL 32)
            set(FAVICON ${icon_name})
        endif()
    endif()
endforeach()
if(NOT FAVICON)
    message(FATAL_ERROR "no 32-pixel icon in ${ICONS}: the desktop build makes them")
endif()
list(JOIN icon_entries ",\n" ICON_ENTRIES)

# The page script learns the hashed names it hands the loader.
set(FILE_NAMES "{\"game.wasm\": \"${wasm_name}\", \"game.data\": \"${data_name}\", \
\"Data/Music.dxw\": \"${sounds_name}\", \"Music/2.xm\": \"${song2_name}\", \
\"Music/3.xm\": \"${song3_name}\"}")
set(GAME_JS ${script_name})
configure_file(${WEB}/page.js ${SITE}/page.js.tmp @ONLY)
hashed_copy(${SITE}/page.js.tmp page js PAGE_JS)
file(REMOVE ${SITE}/page.js.tmp)
configure_file(${WEB}/manifest.webmanifest ${SITE}/manifest.webmanifest @ONLY)

# The worker keeps one build: its cache is named after the page script, which names the rest.
set(kept ./ manifest.webmanifest ${PAGE_JS} ${script_name} ${wasm_name} ${data_name}
    ${later_files} ${icons})
list(TRANSFORM kept PREPEND "'")
list(TRANSFORM kept APPEND "'")
list(JOIN kept ", " KEPT_FILES)
set(CACHE_NAME pondlark-${PAGE_JS})
configure_file(${WEB}/sw.js ${SITE}/sw.js @ONLY)
set(WASM_FILE ${wasm_name})
set(DATA_FILE ${data_name})
configure_file(${WEB}/index.html ${SITE}/index.html @ONLY)
