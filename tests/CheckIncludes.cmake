# Fails when a folder other than platform/ includes SDL, POSIX, FreeType or fontconfig headers, or
# when the program's folders include the sound libraries' headers (Ogg Vorbis, MP3, tracker
# modules). bench/ is left out: benchmarks may measure outside libraries for comparison; tools/
# and tests/ may encode sound fixtures.
set(folders base app graphics widgets puzzle media game display raster crash tools tests fuzz)
set(pattern "#[ \t]*include[ \t]*[<\"](SDL|sys/|unistd\\.h|fcntl\\.h|dirent\\.h|pthread\\.h|dlfcn\\.h|signal\\.h|ft2build\\.h|freetype/|fontconfig/|X11/|netinet/|arpa/|poll\\.h)")
set(program_folders base app graphics widgets puzzle media game display raster crash)
set(sound_pattern "#[ \t]*include[ \t]*[<\"](tremor/|vorbis/|ogg/|libopenmpt/|mpg123\\.h|lame/)")

# Appends to bad every line of the folders' sources that matches the pattern.
function(find_includes folders pattern)
    foreach(folder ${folders})
        file(GLOB_RECURSE files ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
        foreach(f ${files})
            file(STRINGS ${f} lines REGEX "${pattern}")
            if(lines)
                list(APPEND bad "${f}: ${lines}")
            endif()
        endforeach()
    endforeach()
    set(bad ${bad} PARENT_SCOPE)
endfunction()

set(bad "")
find_includes("${folders}" "${pattern}")
find_includes("${program_folders}" "${sound_pattern}")
if(bad)
    string(REPLACE ";" "\n" bad "${bad}")
    message(FATAL_ERROR "Operating-system headers outside platform/:\n${bad}")
endif()
message(STATUS "Only platform/ includes operating-system headers")
