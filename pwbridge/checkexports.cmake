# Checks, after the link, that the seven entry points are exported under their plain names at
# ordinals 1 to 7 (on i686 too, where WINAPI symbols carry "@n"): the host binds them by name.
# Run as: cmake -DOBJDUMP=... -DDLL=... -P checkexports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot read the exports of ${DLL}")
endif()
string(REGEX MATCH "Ordinal Base[^\n]*" base "${dump}")
if(NOT base MATCHES "[ \t]1$")
    message(FATAL_ERROR "${DLL}: the ordinal base is not 1 (${base})")
endif()
set(index 0)
foreach(name MainEntryPoint GetPWHandler SetPWHandler ClearPWHandler ExtClear
             ExtGetPasswordText LibMain)
    # The name table lists each name with its ordinal less the base.
    if(NOT dump MATCHES "\\[ +${index}\\] ${name}\n")
        message(FATAL_ERROR "${DLL}: ${name} is not exported undecorated at ordinal ${index} + 1")
    endif()
    math(EXPR index "${index} + 1")
endforeach()
