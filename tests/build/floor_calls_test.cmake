# The floors' rule for calls: three small objects (a uses b and c, b uses c, c uses only the C
# run time) are laid out as floors in several ways, and the check must refuse each layout where
# an object uses what only a higher floor, or one beside its own, defines.
#   cmake -DCXX=<compiler> -DNM=<nm> -DCXXFILT=<c++filt> -DCHECK=<OvkFloorCallsCheck.cmake>
#         -DSCRATCH=<folder> -P floor_calls_test.cmake
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
file(WRITE "${SCRATCH}/a.cpp" "void b();\nvoid c();\nvoid a() { b(); c(); }\n")
file(WRITE "${SCRATCH}/b.cpp" "void c();\nvoid b() { c(); }\n")
file(WRITE "${SCRATCH}/c.cpp" "#include <cstdio>\nvoid c() { std::puts(\"c\"); }\n")
foreach(name a b c)
    execute_process(COMMAND ${CXX} -c ${name}.cpp -o ${name}.obj WORKING_DIRECTORY "${SCRATCH}"
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${name}.cpp did not compile")
    endif()
endforeach()

set(failures 0)

# judge(VERDICT FINDING FLOOR...): the check's verdict on a layout, passed or refused, and the
# finding a refusal must name; each FLOOR is one line of the layout, "floor below object", lowest
# first.
function(judge verdict finding)
    set(manifest "")
    foreach(floor IN LISTS ARGN)
        string(REGEX REPLACE "([a-z]+\\.obj)$" "${SCRATCH}/\\1" floor "${floor}")
        string(APPEND manifest "${floor}\n")
    endforeach()
    file(WRITE "${SCRATCH}/manifest.txt" "${manifest}")
    execute_process(COMMAND ${CMAKE_COMMAND} -DNM=${NM} -DCXXFILT=${CXXFILT}
                            -DMANIFEST=${SCRATCH}/manifest.txt -P ${CHECK}
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE said)
    if(result EQUAL 0)
        set(got passed)
    elseif(said MATCHES "A floor uses what only a higher floor defines")
        set(got refused)
    else()
        set(got "failed (${result})")
    endif()
    list(JOIN ARGN " + " layout)
    if(NOT got STREQUAL verdict)
        message(SEND_ERROR "'${layout}' was ${got}, not ${verdict}\n${said}")
        math(EXPR failures "${failures} + 1")
    endif()
    string(FIND "${said}" "/${finding}" at)
    if(NOT finding STREQUAL "" AND at EQUAL -1)
        message(SEND_ERROR "'${layout}' was refused without naming '${finding}':\n${said}")
        math(EXPR failures "${failures} + 1")
    endif()
    set(failures ${failures} PARENT_SCOPE)
endfunction()

# Each floor on the one below it.
judge(passed ""
    "c  -  c.obj"
    "b  c  b.obj"
    "a  b  a.obj")
# Two objects in one floor use each other.
judge(passed ""
    "c  -  c.obj"
    "ab c  a.obj"
    "ab c  b.obj")
# The lowest floor uses the one above it.
judge(refused "a.obj (a) uses b(), defined in b"
    "a  -  a.obj"
    "b  a  b.obj"
    "c  b  c.obj")
# Two floors side by side on c: a uses b beside it.
judge(refused "a.obj (a) uses b(), defined in b"
    "c  -  c.obj"
    "b  c  b.obj"
    "a  c  a.obj")
# b stands on a, and c beside a is no floor below b.
judge(refused "b.obj (b) uses c(), defined in c"
    "a  -  a.obj"
    "c  -  c.obj"
    "b  a  b.obj")

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} layouts were judged wrongly")
endif()
