# Writes the SVG icon sources into a C++ file as string literals, so the program carries its
# icon set and renders the image strips at the sizes it needs.
#   cmake -DICON_DIR=<folder> -DOUTPUT=<file.cpp> -P embed_icons.cmake
file(GLOB_RECURSE icons RELATIVE ${ICON_DIR} ${ICON_DIR}/*.svg)
list(SORT icons)
set(body "// Generated from player/res/icons by embed_icons.cmake; edit the SVG files instead.\n")
string(APPEND body "#include \"icon_sources.h\"\n\nnamespace res {\n\n")
string(APPEND body "const IconSource kIconSources[] = {\n")
foreach(icon IN LISTS icons)
  file(READ ${ICON_DIR}/${icon} text)
  string(APPEND body "    {\"${icon}\", R\"svg(${text})svg\"},\n")
endforeach()
string(APPEND body "};\n\nconst std::size_t kIconSourceCount = sizeof(kIconSources) / sizeof(kIconSources[0]);\n\n}  // namespace res\n")
file(WRITE ${OUTPUT}.tmp "${body}")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
