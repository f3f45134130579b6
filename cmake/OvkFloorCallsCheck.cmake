# The floors' rule for calls, checked over the objects of the linked DLL:
#   cmake -DNM=<nm> -DCXXFILT=<c++filt> -DMANIFEST=<file> [-DSTAMP=<file>] -P OvkFloorCallsCheck.cmake
# - An object of a floor may use only what its own floor and the floors below it define. The
#   include path already keeps a higher floor's headers out; this closes the way around it, a
#   declaration in a lower floor whose definition lives higher up, which the one DLL would link
#   without complaint.
# - MANIFEST lists the objects, one line each: "floor below,below,... path" ("-" for no floor
#   below). The symbols are read by nm in OvkFloorCallsCheck.awk beside this file.
# Refusals are listed demangled, with the object that makes each use, and fail the step; success
# touches STAMP.
foreach(setting NM CXXFILT MANIFEST)
    if(NOT ${setting})
        message(FATAL_ERROR "OvkFloorCallsCheck: ${setting} is not set")
    endif()
endforeach()
find_program(OVK_AWK NAMES gawk mawk awk REQUIRED)
execute_process(COMMAND ${OVK_AWK} -v nm=${NM} -f ${CMAKE_CURRENT_LIST_DIR}/OvkFloorCallsCheck.awk
                        ${MANIFEST}
                RESULT_VARIABLE result OUTPUT_VARIABLE found ERROR_VARIABLE said)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "OvkFloorCallsCheck: the floors' symbols could not be read:\n${said}")
endif()
if(found)
    # c++filt demangles the names within each line it reads.
    set(listed "${MANIFEST}.refused")
    file(WRITE "${listed}" "${found}")
    execute_process(COMMAND ${CXXFILT} INPUT_FILE "${listed}" OUTPUT_VARIABLE found
                    COMMAND_ERROR_IS_FATAL ANY)
    string(STRIP "${found}" found)
    string(REPLACE "\n" ";" refusals "${found}")
    list(SORT refusals)
    list(JOIN refusals "\n  " text)
    message(FATAL_ERROR "A floor uses what only a higher floor defines:\n  ${text}")
endif()
if(STAMP)
    file(TOUCH "${STAMP}")
endif()
