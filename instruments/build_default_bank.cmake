# Runs melvotool's bank builder (menu choice 3) with the answers piped in, the
# way a user would build a bank, and checks that it finished.
# Expects TOOL (the melvotool program), SOUNDS (the directory of the sixteen
# WAV files) and BANK (the bank file to write).
get_filename_component(bank_dir "${BANK}" DIRECTORY)
file(MAKE_DIRECTORY "${bank_dir}")
get_filename_component(answers "${BANK}.answers" ABSOLUTE)
# Quoted answers keep commas in paths inside the field; "x" ends the run.
file(WRITE "${answers}" "3\n\"${SOUNDS}\"\n\"${BANK}\"\nMelvo default sounds\nMelvo\nx\n")
execute_process(
  COMMAND "${TOOL}"
  INPUT_FILE "${answers}"
  OUTPUT_VARIABLE transcript
  ERROR_VARIABLE errors
  RESULT_VARIABLE status
  TIMEOUT 60)
file(REMOVE "${answers}")
if(NOT status EQUAL 0 OR NOT transcript MATCHES "\nDone\\.\n" OR NOT EXISTS "${BANK}")
  message(FATAL_ERROR "melvotool did not build ${BANK} (status ${status}):\n${transcript}${errors}")
endif()
