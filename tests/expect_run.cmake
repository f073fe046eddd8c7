# Runs COMMAND (a list) and passes when it exits with status RC and its
# standard output matches every regular expression of the list EXPECT.
execute_process(COMMAND ${COMMAND} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc STREQUAL RC)
    message(FATAL_ERROR "exit status ${rc}, expected ${RC}\n${out}${err}")
endif()
foreach(re IN LISTS EXPECT)
    if(NOT out MATCHES "${re}")
        message(FATAL_ERROR "output does not match '${re}':\n${out}${err}")
    endif()
endforeach()
