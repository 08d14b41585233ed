# Writes OUTPUT, a C++ source that holds the bytes of every .mo file named in
# CATALOGUES (a list), each under its file name without ".mo".
#   cmake -DOUTPUT=Catalogues.cpp "-DCATALOGUES=en.mo;pt_BR.mo" -P EmbedCatalogues.cmake
set(arrays "")
set(entries "")
set(i 0)
foreach(mo IN LISTS CATALOGUES)
  get_filename_component(language ${mo} NAME_WE)
  file(READ ${mo} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "const unsigned char kBytes${i}[] = {${bytes}};\n")
  string(APPEND entries "    {\"${language}\", {reinterpret_cast<const char*>(kBytes${i}), sizeof kBytes${i}}},\n")
  math(EXPR i "${i} + 1")
endforeach()
if(i EQUAL 0)
  set(body "  return {};\n")
else()
  set(body "  static const EmbeddedCatalogue all[] = {\n${entries}  };\n  return all;\n")
endif()
set(source "// Made by the build from po/*.po through msgfmt: do not edit.
#include \"i18n/Catalogue.h\"

namespace tolvanix {

namespace {
${arrays}}  // namespace

std::span<const EmbeddedCatalogue> EmbeddedCatalogues() {
${body}}

}  // namespace tolvanix
")
file(WRITE ${OUTPUT}.new "${source}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
