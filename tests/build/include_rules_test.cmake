# The include rules of the library's folders: each line below is put alone into a file of a
# scratch folder laid out as a floor (a source, and a header in detail/), and the check must
# refuse it or let it pass as the table says.
#   cmake -DCHECK=<OvkIncludeCheck.cmake> -DSCRATCH=<folder> -P include_rules_test.cmake
set(cases
    # where           public-only  verdict  line
    "floor.cpp|OFF|refused|#include \"../frame/iframe.hpp\""
    "floor.cpp|OFF|refused|#include \"../app/detail/icallgrd.hpp\""
    "floor.cpp|OFF|refused|#  include \"detail/../../window/iwindow.hpp\""
    "floor.cpp|OFF|refused|#include <../frame/iframe.hpp>"
    "floor.cpp|OFF|refused|#include \"/usr/include/frame/iframe.hpp\""
    "detail/data.hpp|OFF|refused|#include \"../../frame/iframe.hpp\""
    "detail/data.hpp|OFF|passed|#include \"../ifloor.hpp\""
    "floor.cpp|OFF|passed|#include \"detail/data.hpp\""
    "floor.cpp|OFF|passed|#include <detail/iscoped.hpp>"
    "program.cpp|ON|refused|#include <detail/iscoped.hpp>"
    "program.cpp|ON|passed|#include <iframe.hpp>")
set(failures 0)
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 where)
    list(GET fields 1 publicOnly)
    list(GET fields 2 verdict)
    list(GET fields 3 line)
    set(folder "${SCRATCH}/floor")
    file(REMOVE_RECURSE "${folder}")
    file(MAKE_DIRECTORY "${folder}/detail")
    file(WRITE "${folder}/ifloor.hpp" "#pragma once\n")
    file(WRITE "${folder}/${where}" "// A file of the floor.\n${line}\nint x;\n")
    execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${folder} -DPUBLIC_ONLY=${publicOnly}
                            -P ${CHECK}
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE said)
    if(result EQUAL 0)
        set(got passed)
    else()
        set(got refused)
    endif()
    if(NOT got STREQUAL verdict)
        message(SEND_ERROR "${where}: '${line}' was ${got}, not ${verdict}\n${said}")
        math(EXPR failures "${failures} + 1")
    elseif(got STREQUAL refused AND NOT said MATCHES "${where}")
        message(SEND_ERROR "${where}: '${line}' was refused without naming its file:\n${said}")
    endif()
endforeach()
file(REMOVE_RECURSE "${SCRATCH}/floor")
