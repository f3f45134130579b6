# The floors' rule for calls: three small objects (a uses b and c, b uses c, c uses only the C
# run time) are laid out as floors in several ways, and the check must refuse each layout where
# an object uses what only a higher floor, or one beside its own, defines.
#   cmake -DCXX=<compiler> -DNM=<nm> -DCXXFILT=<c++filt> -DCHECK=<check-floor-calls.sh>
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

set(cases
    # verdict  what the finding names          floors, lowest first: "floor below object" + ...
    "passed||c - c.obj+b c b.obj+a b a.obj"
    "passed||c - c.obj+ab c a.obj+ab c b.obj"
    "refused|a.obj (a) uses b(), defined in b|a - a.obj+b a b.obj+c b c.obj"
    "refused|a.obj (a) uses b(), defined in b|c - c.obj+b c b.obj+a c a.obj"
    "refused|b.obj (b) uses c(), defined in c|a - a.obj+c - c.obj+b a b.obj")
set(failures 0)
foreach(case IN LISTS cases)
    string(REGEX MATCH "^([^|]*)[|]([^|]*)[|](.*)$" fields "${case}")
    set(verdict "${CMAKE_MATCH_1}")
    set(finding "${CMAKE_MATCH_2}")
    string(REPLACE "+" ";" layout "${CMAKE_MATCH_3}")
    set(manifest "")
    foreach(line IN LISTS layout)
        string(REGEX REPLACE "([a-z]+\\.obj)$" "${SCRATCH}/\\1" line "${line}")
        string(APPEND manifest "${line}\n")
    endforeach()
    file(WRITE "${SCRATCH}/manifest.txt" "${manifest}")
    execute_process(COMMAND bash ${CHECK} ${NM} ${CXXFILT} "${SCRATCH}/manifest.txt"
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE said)
    if(result EQUAL 0)
        set(got passed)
    elseif(result EQUAL 1)
        set(got refused)
    else()
        set(got "failed (${result})")
    endif()
    if(NOT got STREQUAL verdict)
        message(SEND_ERROR "'${layout}' was ${got}, not ${verdict}\n${said}")
        math(EXPR failures "${failures} + 1")
    endif()
    string(FIND "${said}" "/${finding}" at)
    if(NOT finding STREQUAL "" AND at EQUAL -1)
        message(SEND_ERROR "'${layout}' was refused without naming '${finding}':\n${said}")
        math(EXPR failures "${failures} + 1")
    endif()
endforeach()
if(failures GREATER 0)
    message(FATAL_ERROR "${failures} layouts were judged wrongly")
endif()
