# The folders of the game library form one chain, platform <- engine <- game <- screens <- app,
# with persist, audio and http beside it reaching neither screens nor app. Every project
# include ("folder/File.h") of a source in a folder below must name a folder that folder may
# use; anything else fails the check with the file, the line and the rule it breaks.
#   cmake -DSOURCE_DIR=<checkout> -P CheckIncludes.cmake
if(NOT SOURCE_DIR)
    message(FATAL_ERROR "CheckIncludes.cmake: SOURCE_DIR is not set")
endif()

# What each folder may include besides itself. Keep docs/ARCHITECTURE.md's layers in step.
set(uses_platform "")
set(uses_engine platform)
set(uses_http platform)
set(uses_audio engine platform)
set(uses_persist http engine platform)
set(uses_game persist engine platform)
set(uses_screens game persist engine platform)
set(uses_app screens game persist audio http engine platform)
# The score service shares only the result payload and its text encoding with the game.
set(uses_server persist)
# The browser build's own implementations of the http/ client and persist/'s result sender.
set(uses_web persist http engine platform)
set(folders platform engine http audio persist game screens app server web)

set(faults 0)
set(checked 0)
foreach(folder ${folders})
    file(GLOB_RECURSE sources ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
    if(NOT sources)
        message(SEND_ERROR "no sources in ${folder}/: the check would pass on nothing")
        math(EXPR faults "${faults} + 1")
    endif()
    foreach(source ${sources})
        file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
        foreach(line ${lines})
            math(EXPR checked "${checked} + 1")
            if(NOT line MATCHES "#[ \t]*include[ \t]*\"([^\"/]+)/")
                # A project header is always named with its folder.
                string(REGEX MATCH "\"[^\"]*\"" name "${line}")
                file(RELATIVE_PATH rel ${SOURCE_DIR} ${source})
                message(SEND_ERROR "${rel}: ${name} names no folder")
                math(EXPR faults "${faults} + 1")
                continue()
            endif()
            set(target ${CMAKE_MATCH_1})
            if(target STREQUAL folder)
                continue()
            endif()
            list(FIND uses_${folder} ${target} allowed)
            if(allowed EQUAL -1)
                file(RELATIVE_PATH rel ${SOURCE_DIR} ${source})
                string(STRIP "${line}" line)
                message(SEND_ERROR
                    "${rel}: '${line}' breaks the layers: ${folder}/ may use only "
                    "${uses_${folder}}")
                math(EXPR faults "${faults} + 1")
            endif()
        endforeach()
    endforeach()
endforeach()

if(faults GREATER 0)
    message(FATAL_ERROR "${faults} include(s) break the layers")
endif()
message(STATUS "${checked} includes follow the layers")
