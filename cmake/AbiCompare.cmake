# Script: cmake -DABIDIFF=... -DBASELINE=... -DLIBRARY=... -P AbiCompare.cmake
# Compares LIBRARY with the ABI baseline and fails with abidiff's report
# unless the only differences are added functions or variables.
#
# abidiff's exit status is a bit set: 1 error, 2 usage error, 4 ABI change,
# 8 incompatible change.  Bit 8 covers removals only: a changed parameter
# type or record layout sets bit 4 alone, so the report's summary lines
# decide: any removed or changed function or variable, or a changed SONAME
# or architecture, fails.
execute_process(
    COMMAND "${ABIDIFF}" --no-show-locs "${BASELINE}" "${LIBRARY}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(NOT rc MATCHES "^[0-9]+$")
    message(FATAL_ERROR "abidiff did not run: ${rc}\n${report}")
endif()
math(EXPR failed "${rc} & 3")
if(failed)
    message(FATAL_ERROR "abidiff failed (exit status ${rc}):\n${report}")
endif()
math(EXPR incompatible "${rc} & 8")
if(incompatible OR report MATCHES "[1-9][0-9]* (Removed|Changed)|SONAME changed|architecture changed")
    message(FATAL_ERROR "abidiff (exit status ${rc}): the ABI differs from ${BASELINE}:\n${report}\n"
        "A break made on purpose needs a new SOVERSION and a new baseline: "
        "cmake --workflow --preset abi-update")
elseif(rc)
    message(STATUS "abidiff (exit status ${rc}): additions only:\n${report}\n"
        "Record them in the baseline: cmake --workflow --preset abi-update")
else()
    message(STATUS "ABI of ${LIBRARY} matches ${BASELINE}")
endif()
