# Writes a manual page from a program's --help, so that the page says what the program says:
#   cmake -DPROGRAM=path -DNAME=name -DSUMMARY=text -DVERSION=x.y.z -DSECTIONS=file -DOUTPUT=file
#         -P help-to-man.cmake
# The help text becomes the page's DESCRIPTION as it stands; SECTIONS holds the hand-written
# sections that follow it (files, examples, see also).

execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR help STREQUAL "")
    message(FATAL_ERROR "${PROGRAM} --help failed (${status})")
endif()

# Backslashes and minus signs as roff wants them, and no line taken for a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")

string(TOUPPER "${NAME}" title)
file(READ ${SECTIONS} sections)
file(WRITE ${OUTPUT}
    ".TH ${title} 1 \"\" \"TraceBay ${VERSION}\" \"User Commands\"\n"
    ".SH NAME\n${NAME} \\- ${SUMMARY}\n"
    ".SH DESCRIPTION\n.nf\n${help}.fi\n"
    "${sections}")
