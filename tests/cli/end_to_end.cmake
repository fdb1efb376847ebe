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

# Like expect, for what the program says on its error stream.
function(expect_error status stderr_regex)
  execute_process(COMMAND ${CLI} ${ARGN}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL status OR NOT err MATCHES "${stderr_regex}")
    message(FATAL_ERROR "kartora-cli ${ARGN}: exit status ${rc}, expected ${status}; messages\n${err}\n"
      "do not match ${stderr_regex}")
  endif()
endfunction()

expect(0 "kartora-cli 2\\.2\\.9" --version)
expect(0 "convert" --help)
expect(0 "^32 N 600079 5901131\n$" convert --to-format utm "10 30 E 53 15 N")
expect(0 "^10 30\\.0000 E 53 15\\.0000 N\n$" convert --format UTM --to-format dec.Minute "32 N 600080 5901131")
expect(1 "^$" convert "10 61 E 53 15 N")
expect(105 "^$" convert --datum ED50 "10 30 E 53 15 N")

# Messages in German for --lang de in any letter case, before or after the command.
expect_error(1 "Wert zu gro" --lang De convert "10 61 E 53 15 N")
expect_error(1 "Wert zu gro" convert --lang de "10 61 E 53 15 N")
expect_error(105 "^kartora-cli: --datum: unbekanntes Datum \"ED50\"" convert --datum ED50 --lang de "1 0 E 1 0 N")
# An unknown command names itself; the argument errors keep the parser's exit statuses.
expect_error(106 "^kartora-cli: frobnicate: unknown command; the commands are convert, cal, import, map\n$" frobnicate)

# A result that cannot be written fails the program (a full disk here), help text included.
foreach(args "convert;10 30 E 53 15 N" "--help")
  execute_process(COMMAND ${CLI} ${args} RESULT_VARIABLE rc OUTPUT_FILE /dev/full ERROR_VARIABLE err)
  if(NOT rc EQUAL 1 OR NOT err MATCHES "^kartora-cli: standard output: cannot write: No space left on device\n$")
    message(FATAL_ERROR "kartora-cli ${args} >/dev/full: exit status ${rc}, messages\n${err}")
  endif()
endforeach()
# Standard input that cannot be read fails it too.
execute_process(COMMAND ${CLI} convert RESULT_VARIABLE rc INPUT_FILE ${WORK_DIR} ERROR_VARIABLE err)
if(NOT rc EQUAL 1 OR NOT err MATCHES "^kartora-cli: standard input: cannot read: Is a directory\n$")
  message(FATAL_ERROR "kartora-cli convert <directory: exit status ${rc}, messages\n${err}")
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

# With the Qt layers the program reads map images (it once was built without
# their readers in every build, so that map commands and KMZ always failed).
if(GUI)
  expect(0 "Bits per pixel: 8\nPalette entries: 256\nReadable by the device: Yes\n$" map info ${SAMPLES}/harbour.bmp)
else()
  expect_error(1 "map images need a kartora-cli built with the Qt layers" map info ${SAMPLES}/harbour.bmp)
endif()
