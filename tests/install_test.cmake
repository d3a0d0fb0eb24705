# Installs the build into a fresh prefix and checks the images folder an
# installed program reads: every catalogue picture the build rendered, each
# 320 x 240, the sample pictures they were drawn on, and nothing else.
#
#   cmake -DBUILD=<build folder> -DPREFIX=<scratch folder> -P install_test.cmake

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE Result OUTPUT_QUIET)
if(NOT Result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${Result}")
endif()

set(Images "${PREFIX}/share/quillmoor/Images")
foreach(Sample "Stage/Effects/Preview Clip.bmp" "Stage/Transitions/Preview Clip1.bmp"
               "Stage/Transitions/Preview Clip2.bmp")
    if(NOT EXISTS "${Images}/${Sample}")
        message(FATAL_ERROR "missing sample picture ${Sample}")
    endif()
endforeach()

foreach(Kind Effects Transitions Titles)
    file(GLOB Built RELATIVE "${BUILD}/app/Images" "${BUILD}/app/Images/Stage/${Kind}/Thumbnails/*.png")
    file(GLOB Installed RELATIVE "${Images}" "${Images}/Stage/${Kind}/Thumbnails/*.png")
    list(LENGTH Installed Count)
    if(Count EQUAL 0)
        message(FATAL_ERROR "no ${Kind} pictures installed")
    endif()
    if(NOT Built STREQUAL Installed)
        message(FATAL_ERROR "${Kind}: installed pictures differ from the built ones")
    endif()
    foreach(Picture ${Installed})
        # The PNG header's width and height, big-endian, after the signature
        # and the IHDR chunk's length and type.
        file(READ "${Images}/${Picture}" Size OFFSET 16 LIMIT 8 HEX)
        if(NOT Size STREQUAL "00000140000000f0")
            message(FATAL_ERROR "${Picture} is not 320 x 240 (${Size})")
        endif()
    endforeach()
endforeach()

file(GLOB_RECURSE Leftovers "${Images}/*.stamp" "${Images}/*.part")
if(Leftovers)
    message(FATAL_ERROR "build leftovers installed: ${Leftovers}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
