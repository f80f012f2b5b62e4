# Shared build settings and the two helpers every folder uses.

add_library(kavo_options INTERFACE)
target_compile_options(kavo_options INTERFACE -Wall -Wextra)
# Crash reports walk the stack along the saved frame pointers when the unwinder cannot.
target_compile_options(kavo_options INTERFACE -fno-omit-frame-pointer)
if(KAVO_WERROR)
    target_compile_options(kavo_options INTERFACE -Werror)
endif()
if(KAVO_SANITIZE)
    target_compile_options(kavo_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                  -fno-sanitize-recover=undefined)
    target_link_options(kavo_options INTERFACE -fsanitize=address,undefined)
endif()
if(KAVO_FUZZ)
    # Coverage for libFuzzer in every library; the fuzz targets add the fuzzer's own main.
    target_compile_options(kavo_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                  -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(kavo_options INTERFACE -fsanitize=address,undefined)
endif()
target_include_directories(kavo_options INTERFACE ${PROJECT_SOURCE_DIR})

# kavo_library(<name> [FOLDERS sub-folders...] [DEPENDS targets...] [PRIVATE_DEPENDS targets...])
# A static library made of every .cpp file in the calling folder (or, with FOLDERS, in each of the
# named sub-folders of it) except Main.cpp (a program's entry point). Headers are included from the
# project root, as in #include "base/Random.h" or #include "platform/files/Files.h".
function(kavo_library name)
    cmake_parse_arguments(ARG "" "" "FOLDERS;DEPENDS;PRIVATE_DEPENDS" ${ARGN})
    set(folders ${CMAKE_CURRENT_SOURCE_DIR})
    if(ARG_FOLDERS)
        list(TRANSFORM ARG_FOLDERS PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ OUTPUT_VARIABLE folders)
    endif()
    set(sources "")
    set(headers "")
    foreach(folder ${folders})
        file(GLOB folder_sources CONFIGURE_DEPENDS ${folder}/*.cpp)
        file(GLOB folder_headers CONFIGURE_DEPENDS ${folder}/*.h)
        list(APPEND sources ${folder_sources})
        list(APPEND headers ${folder_headers})
    endforeach()
    list(FILTER sources EXCLUDE REGEX "/Main\\.cpp$")
    add_library(${name} STATIC ${sources} ${headers})
    target_link_libraries(${name} PUBLIC kavo_options ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE_DEPENDS})
endfunction()

# kavo_tests(<name> DEPENDS targets... [TIMEOUT seconds] [ONLY_WRAPPED gtest-patterns])
# A GoogleTest executable made of every .cpp file in the calling folder, registered with CTest;
# TIMEOUT gives its tests a limit of their own in place of the preset's. ONLY_WRAPPED names the
# tests (a colon-separated gtest pattern) that are not registered one by one: they mean
# something only inside a wrapper that the folder registers itself.
# tests/TestEnvironment.cpp puts each program in a scratch folder of its own under the build tree,
# with SDL's dummy drivers, and keeps per-user data and single-instance locks inside that folder.
function(kavo_tests name)
    cmake_parse_arguments(ARG "" "TIMEOUT;ONLY_WRAPPED" "DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    add_executable(${name} ${sources} ${PROJECT_SOURCE_DIR}/tests/TestEnvironment.cpp)
    target_link_libraries(${name} PRIVATE kavo_options ${ARG_DEPENDS} kavo_platform
                                          GTest::gtest GTest::gtest_main GTest::gmock)
    set(workdir ${CMAKE_CURRENT_BINARY_DIR}/work)
    file(MAKE_DIRECTORY ${workdir})
    target_compile_definitions(${name} PRIVATE KAVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                               KAVO_BINARY_DIR="${PROJECT_BINARY_DIR}"
                                               KAVO_TEST_WORKDIR="${workdir}")
    set(properties)
    if(ARG_TIMEOUT)
        set(properties PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    endif()
    set(filter)
    if(ARG_ONLY_WRAPPED)
        set(filter TEST_FILTER "-${ARG_ONLY_WRAPPED}")
    endif()
    gtest_discover_tests(${name}
        WORKING_DIRECTORY ${workdir}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        ${filter}
        ${properties})
endfunction()
