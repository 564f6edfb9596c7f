# Writes the manual page of velimor-report around its own --help text, so that the two
# never differ; the help is Czech, like the program.
#   cmake -DPROGRAM=path/to/velimor-report -DVERSION=1.0 -DOUTPUT=velimor-report.1 -P manpage.cmake
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR help STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --help failed (${rc})")
endif()
# Preformatted roff: backslashes and minus signs escaped, no line taken for a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
file(WRITE ${OUTPUT} ".TH VELIMOR\\-REPORT 1 \"\" \"velimor ${VERSION}\" \"User Commands\"
.SH NAME
velimor\\-report \\- overall test of instrument data files and its report, without a window
.SH DESCRIPTION
.nf
${help}.fi
.SH SEE ALSO
.BR velimor (1)
")
