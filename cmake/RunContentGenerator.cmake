# Runs a content generator for the build, only when what it makes can have changed:
#
#   cmake -DSTAMP=<file> [-DINPUTS=<files>] -P RunContentGenerator.cmake -- <generator> <args...>
#
# A generator is deterministic, so its files follow from its program, the inputs it reads and its
# arguments. Their digest is kept in the stamp; while it matches, the generator is not run again
# and the stamp is left as it was (the build sees no change and packs nothing anew). The program is
# relinked whenever one of the libraries it links changes, yet comes out byte for byte the same
# unless a part it uses did: a change elsewhere in those libraries costs no run.
set(command "")
set(seen_separator FALSE)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE ${last})
    if(seen_separator)
        list(APPEND command "${CMAKE_ARGV${i}}")
    elseif(CMAKE_ARGV${i} STREQUAL "--")
        set(seen_separator TRUE)
    endif()
endforeach()
list(LENGTH command count)
if(count EQUAL 0 OR NOT DEFINED STAMP)
    message(FATAL_ERROR "usage: cmake -DSTAMP=<file> [-DINPUTS=<files>] -P RunContentGenerator.cmake -- <generator> <args...>")
endif()
list(GET command 0 generator)

string(SHA256 digest "${command}")
foreach(file ${generator} ${INPUTS})
    file(SHA256 "${file}" file_digest)
    string(APPEND digest "\n${file_digest}")
endforeach()

if(EXISTS "${STAMP}")
    file(READ "${STAMP}" previous)
    if(previous STREQUAL digest)
        return()
    endif()
endif()

execute_process(COMMAND ${command} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    file(REMOVE "${STAMP}")
    message(FATAL_ERROR "${generator} failed (${result})")
endif()
file(WRITE "${STAMP}" "${digest}")
