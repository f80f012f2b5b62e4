# Fails when the rules engine's folder reaches anything that draws, takes input or plays: its sources
# may include headers of rules/, base/ and platform/ only (no graphics/, widgets/, display/, media/,
# app/ or anything above), and its library may link only kavo_base and kavo_platform, so that the
# engine plays whole games headless in the tools, the tests and the fuzzers.
# Run as: cmake -DROOT=<source folder> -P CheckHeadless.cmake
cmake_minimum_required(VERSION 3.25)
include(${ROOT}/cmake/Layers.cmake)
set(headless rules)
set(allowed rules base platform)

set(bad "")
foreach(folder ${headless})
    file(GLOB_RECURSE files ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
    foreach(f ${files})
        file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z0-9_]+/")
        foreach(line ${lines})
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([A-Za-z0-9_]+)/.*" "\\1" used "${line}")
            if(NOT used IN_LIST allowed)
                file(RELATIVE_PATH rel ${ROOT} ${f})
                list(APPEND bad "${rel} includes a header of ${used}/: ${line}")
            endif()
        endforeach()
    endforeach()
    file(READ ${ROOT}/${folder}/CMakeLists.txt text)
    string(REGEX REPLACE "#[^\n]*" "" text "${text}")
    string(REGEX MATCHALL "kavo_[a-z]+" names "${text}")
    foreach(name ${names})
        string(REGEX REPLACE "^kavo_" "" used ${name})
        if(used IN_LIST KAVO_LAYERS AND NOT used IN_LIST allowed)
            list(APPEND bad "${folder}/CMakeLists.txt links ${name}")
        endif()
    endforeach()
endforeach()

if(bad)
    string(REPLACE ";" "\n" bad "${bad}")
    message(FATAL_ERROR "The rules engine reaches beyond rules/, base/ and platform/:\n${bad}")
endif()
message(STATUS "The rules engine stands on rules/, base/ and platform/ alone")
