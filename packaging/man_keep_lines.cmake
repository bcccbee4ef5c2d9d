# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DPAGE=FILE -P man_keep_lines.cmake: keeps the line breaks of the indented blocks in
# a manual page made by help2man. It turns an indented block of the --help text (the usage
# lines, the command table's rows) into an .IP paragraph, which a man reader would fill into
# one run of words; inside .nf/.fi each line stays a line, as the terminal shows it.
file(STRINGS "${PAGE}" lines)
set(result "")
set(inside FALSE)
foreach(line IN LISTS lines)
  if(inside AND line MATCHES "^[.']")
    string(APPEND result ".fi\n")
    set(inside FALSE)
  endif()
  string(APPEND result "${line}\n")
  if(line STREQUAL ".IP")
    string(APPEND result ".nf\n")
    set(inside TRUE)
  endif()
endforeach()
if(inside)
  string(APPEND result ".fi\n")
endif()
file(WRITE "${PAGE}" "${result}")
