# Writes a help2man include file with every quarndb-cli command's own help,
# as the program prints it for `quarndb-cli COMMAND --help`, so the manual
# page and the program never disagree.
#   cmake -DCLI=path/to/quarndb-cli -DBASE=extra.h2m -DOUT=file.h2m -P man-commands.cmake
file(READ ${BASE} text)
string(APPEND text "[COMMANDS]\n")
foreach(command info check export search find refs diff apply merge set import recover)
  execute_process(COMMAND ${CLI} ${command} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CLI} ${command} --help failed: ${status}")
  endif()
  # roff: a backslash is written \e, and a line may not start with . or '.
  string(REPLACE "\\" "\\e" help "${help}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
  string(APPEND text ".SS ${command}\n.nf\n${help}.fi\n")
endforeach()
file(WRITE ${OUT} "${text}")
