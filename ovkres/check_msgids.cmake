# Compares the message numbers that windmc found in ovkres.mc (its generated header) with the
# constants of ovkmsgid.hpp, so that a number added to one and not the other, or a name given two
# numbers, stops the build instead of surfacing as a missing text at run time.
#   cmake -DMC_HEADER=<windmc header> -DMSGID_HEADER=<ovkmsgid.hpp> -DSTAMP=<file> -P check_msgids.cmake
foreach(var MC_HEADER MSGID_HEADER STAMP)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "check_msgids.cmake: ${var} is not set")
    endif()
endforeach()

function(read_ids file regex out)
    file(STRINGS "${file}" lines REGEX "${regex}")
    set(result "")
    foreach(line IN LISTS lines)
        string(REGEX MATCH "${regex}" _ "${line}")
        # windmc writes hexadecimal, the C++ header decimal: normalise both through math().
        math(EXPR number "${CMAKE_MATCH_2}" OUTPUT_FORMAT DECIMAL)
        list(APPEND result "${CMAKE_MATCH_1}=${number}")
    endforeach()
    list(SORT result)
    set(${out} "${result}" PARENT_SCOPE)
endfunction()

read_ids("${MC_HEADER}" "^#define[ \t]+([A-Z0-9_]+)[ \t]+(0x[0-9a-fA-F]+|[0-9]+)" from_mc)
read_ids("${MSGID_HEADER}"
    "^inline constexpr unsigned long[ \t]+([A-Z0-9_]+)[ \t]*=[ \t]*(0x[0-9a-fA-F]+|[0-9]+)[ \t]*;" from_hpp)

if(NOT from_mc)
    message(FATAL_ERROR "No message ids found in ${MC_HEADER}")
endif()
if(NOT from_mc STREQUAL from_hpp)
    set(only_mc ${from_mc})
    list(REMOVE_ITEM only_mc ${from_hpp})
    set(only_hpp ${from_hpp})
    list(REMOVE_ITEM only_hpp ${from_mc})
    message(FATAL_ERROR "ovkres.mc and ovkmsgid.hpp disagree.\n"
        "  only in ovkres.mc:    ${only_mc}\n"
        "  only in ovkmsgid.hpp: ${only_hpp}")
endif()
list(LENGTH from_mc count)
file(WRITE "${STAMP}" "${count} message ids agree\n")
