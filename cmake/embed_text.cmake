# Turns a text file of the source tree into a C++ source that defines it as
# one string constant, so that a program carries the file without reading
# it at run time. Run as a script at build time:
#
#   cmake -DINPUT=file -DOUTPUT=file.cc -DNAME=kConstant -P embed_text.cmake
#
# The text goes into a raw string literal; a file holding the literal's
# closing delimiter is refused rather than cut short.
foreach(var INPUT OUTPUT NAME)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "embed_text.cmake needs -D${var}=...")
  endif()
endforeach()
file(READ "${INPUT}" text)
set(delimiter "embedded_text")
string(FIND "${text}" ")${delimiter}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds )${delimiter}\", which would end "
                      "its string constant early")
endif()
get_filename_component(source_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.new"
     "// Made at build time from ${source_name}: change that file, not this.\n"
     "namespace scenario {\n"
     "extern const char ${NAME}[];\n"
     "const char ${NAME}[] = R\"${delimiter}(${text})${delimiter}\";\n"
     "}  // namespace scenario\n")
# Rewritten only when it changes, so that nothing else is rebuilt.
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
