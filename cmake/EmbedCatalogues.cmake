# Writes OUTPUT, a C++ source that holds the bytes of every .po file named in
# CATALOGUES (a list), each under its file name without ".po".
#   cmake -DOUTPUT=Catalogues.cpp "-DCATALOGUES=a.po;b.po" -P EmbedCatalogues.cmake
set(arrays "")
set(entries "")
set(i 0)
foreach(po IN LISTS CATALOGUES)
  get_filename_component(language ${po} NAME_WE)
  if(NOT language MATCHES "^[A-Za-z]+(_[A-Za-z0-9]+)?$")
    message(FATAL_ERROR "${po}: a catalogue is named by its language, as en.po or pt_BR.po")
  endif()
  file(READ ${po} hex HEX)
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
set(source "// Made by the build from po/*.po: do not edit.
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
