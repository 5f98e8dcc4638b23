# Runs TOOL with the ;-separated ARGS and checks its exit status (STATUS) and that
# what it prints, on either stream, matches OUTPUT.
string(REPLACE "|" ";" args "${ARGS}")
execute_process(COMMAND "${TOOL}" ${args} RESULT_VARIABLE status
                OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status STREQUAL STATUS)
    message(FATAL_ERROR "exit status ${status}, expected ${STATUS}\n${out}${err}")
endif()
if(NOT "${out}${err}" MATCHES "${OUTPUT}")
    message(FATAL_ERROR "printed:\n${out}${err}\nexpected to match: ${OUTPUT}")
endif()
