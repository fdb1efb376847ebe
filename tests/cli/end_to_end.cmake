# Runs the built kartora-cli as a user would and checks what it prints and
# the exit status of each step.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

function(expect status stdout_regex)
  execute_process(COMMAND ${CLI} ${ARGN}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL status)
    message(FATAL_ERROR "kartora-cli ${ARGN}: exit status ${rc}, expected ${status}\n${out}\n${err}")
  endif()
  if(NOT out MATCHES "${stdout_regex}")
    message(FATAL_ERROR "kartora-cli ${ARGN}: output\n${out}\ndoes not match ${stdout_regex}")
  endif()
endfunction()

expect(0 "kartora-cli 2\\.2\\.9" --version)
expect(0 "convert" --help)
expect(0 "^32 N 600079 5901131\n$" convert --to-format utm "10 30 E 53 15 N")
expect(0 "^10 30\\.0000 E 53 15\\.0000 N\n$" convert --format UTM --to-format dec.Minute "32 N 600080 5901131")
expect(1 "^$" convert "10 61 E 53 15 N")
expect(105 "^$" convert --datum ED50 "10 30 E 53 15 N")

# Messages in German for --lang de in any letter case.
execute_process(COMMAND ${CLI} --lang De convert "10 61 E 53 15 N" RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 1 OR NOT err MATCHES "Wert zu gro")
  message(FATAL_ERROR "kartora-cli --lang De: exit status ${rc}, messages\n${err}")
endif()

set(cal ${WORK_DIR}/harbour.CAL)
set(write_args cal write --name harbour --bmp harbour.bmp --pixel1 120,840 --pixel2 1530,95
  --format deg --point1 "12.4687 E 47.8595 N" --point2 "12.575 E 47.8002 N" --height 12.5)
expect(0 "harbour\\.CAL" ${write_args} ${cal})
expect(2 "^$" ${write_args} ${cal})
expect(0 "harbour\\.CAL" ${write_args} --yes ${cal})
expect(0 "POINT1: 120 840 33 N 310670 5303786\nPOINT2: 1530 95 33 N 318413 5296941" cal read ${cal} --format utm)
expect(1 "^$" cal read ${WORK_DIR}/missing.CAL)

file(WRITE ${WORK_DIR}/one.TXT "47.8595,12.4687\n")
expect(1 "^$" import ${WORK_DIR}/one.TXT)
