# Fails when bison finds a different number of conflicts in the grammar than the ones its
# header comment explains, so a new conflict cannot slip in as a warning.
set(expected_sr 141)
set(expected_rr 115)
execute_process(COMMAND ${BISON} -o ${OUTPUT}.tab.cpp ${GRAMMAR}
                ERROR_VARIABLE report RESULT_VARIABLE status)
string(REGEX MATCH "([0-9]+) shift/reduce conflict" sr "${report}")
set(sr "${CMAKE_MATCH_1}")
string(REGEX MATCH "([0-9]+) reduce/reduce conflict" rr "${report}")
set(rr "${CMAKE_MATCH_1}")
if(NOT status EQUAL 0 OR NOT sr STREQUAL expected_sr OR NOT rr STREQUAL expected_rr)
  message(FATAL_ERROR "grammar.y has ${sr} shift/reduce and ${rr} reduce/reduce conflicts, "
                      "expected ${expected_sr} and ${expected_rr}: explain any new one in "
                      "its header comment before changing the counts\n${report}")
endif()
file(WRITE ${OUTPUT} "${sr} ${rr}\n")
