# Run as a script: fails when one of FILES includes a Qt header.
foreach(file IN LISTS FILES)
  file(STRINGS "${file}" hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|qt[a-z]*/)")
  if(hits)
    message(FATAL_ERROR "${file} includes a Qt header, but its target must stay free of Qt:\n${hits}")
  endif()
endforeach()
file(TOUCH "${STAMP}")
