# The program does not link the media libraries, which would be loaded and
# relocated at every start before the first window: the engine loads them at
# its first call (platform/media/media_libraries.h).
#
#   cmake -DPROGRAM=<quillmoor> -P program_libraries_test.cmake

find_program(READELF readelf REQUIRED)
execute_process(COMMAND "${READELF}" -d "${PROGRAM}" OUTPUT_VARIABLE Dynamic RESULT_VARIABLE Result)
if(NOT Result EQUAL 0)
    message(FATAL_ERROR "readelf failed on ${PROGRAM}: ${Result}")
endif()
if(NOT Dynamic MATCHES "NEEDED")
    message(FATAL_ERROR "no needed libraries read from ${PROGRAM}")
endif()
foreach(Library libavformat libavcodec libavutil libswscale libswresample libavdevice)
    if(Dynamic MATCHES "\\[${Library}\\.so")
        message(FATAL_ERROR "${PROGRAM} links ${Library}")
    endif()
endforeach()
