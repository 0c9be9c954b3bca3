# dudivizo_embed_assets(OUTPUT file FILES ...): writes a C++ source that
# holds each file's bytes and a lookup by file name (see ui/pictures.h).
function(dudivizo_embed_assets)
  cmake_parse_arguments(ARG "" "OUTPUT" "FILES" ${ARGN})
  set(body "// Generated from assets/ at configure time.\n#include <string_view>\n\nnamespace {\n")
  set(table "")
  set(index 0)
  foreach(file ${ARG_FILES})
    file(READ ${file} hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
    string(APPEND body "const char kAsset${index}[] = {${bytes}};\n")
    get_filename_component(name ${file} NAME)
    string(APPEND table "      {\"${name}\", {kAsset${index}, sizeof kAsset${index}}},\n")
    math(EXPR index "${index} + 1")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  endforeach()
  string(APPEND body "}  // namespace\n\nnamespace dudivizo::ui {\n"
         "std::string_view AssetBytes(std::string_view name) {\n"
         "  struct Entry { std::string_view name; std::string_view bytes; };\n"
         "  static const Entry kEntries[] = {\n${table}  };\n"
         "  for (const Entry& e : kEntries) if (e.name == name) return e.bytes;\n"
         "  return {};\n}\n}  // namespace dudivizo::ui\n")
  file(WRITE ${ARG_OUTPUT} "${body}")
endfunction()
