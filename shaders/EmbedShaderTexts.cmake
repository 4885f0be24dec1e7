# Writes OUTPUT, a C++ source defining one NUL-terminated char array for each
# name in NAMES (comma-separated), holding DIRECTORY/<name>.glsl. Written as
# byte values so that each text reaches the compiler exactly as it stands in
# its file.
string(REPLACE "," ";" names "${NAMES}")
set(source "// Made by shaders/EmbedShaderTexts.cmake from the .glsl files beside it.\n")
string(APPEND source "#include \"shaders/ShaderTexts.h\"\n")
foreach(name IN LISTS names)
  file(READ ${DIRECTORY}/${name}.glsl bytes HEX)
  # The language's character set is ASCII; a zero byte would end the text early.
  if(bytes MATCHES "^(..)*([89a-f].|00)")
    message(FATAL_ERROR "${name}.glsl holds a zero byte or one outside ASCII")
  endif()
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)"
         "\\1\n    " bytes "${bytes}")
  string(APPEND source "\nextern const char ${name}[] = {\n    ${bytes}0x00\n};\n")
endforeach()
file(WRITE ${OUTPUT} "${source}")
