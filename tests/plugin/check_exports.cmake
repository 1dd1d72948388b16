# cmake -DNM=<nm> -DMODULE=<sepmet.so> -P check_exports.cmake
# Fails unless the module's own exports are exactly the functions GetPluginInfo, Load and
# Unload: no other function and no data. Names the linker and the C runtime define for every
# shared object are not the module's own.
execute_process(COMMAND ${NM} -D --defined-only ${MODULE}
    OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${MODULE}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(functions)
set(others)
foreach(line IN LISTS lines)
    if(line MATCHES "^[0-9a-fA-F]* *([A-Za-z]) (.+)$")
        set(type ${CMAKE_MATCH_1})
        set(name ${CMAKE_MATCH_2})
        if(name MATCHES "^(_init|_fini|_edata|_end|__bss_start)$")
            continue()
        endif()
        if(type STREQUAL "T")
            list(APPEND functions ${name})
        else()
            list(APPEND others "${type} ${name}")
        endif()
    endif()
endforeach()
list(SORT functions)
if(NOT functions STREQUAL "GetPluginInfo;Load;Unload" OR others)
    message(FATAL_ERROR "sepmet.so exports functions [${functions}] and other symbols "
                        "[${others}]\nfull listing:\n${listing}")
endif()
message(STATUS "sepmet.so exports exactly: ${functions}")
