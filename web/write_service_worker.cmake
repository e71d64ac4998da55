# cmake -DSITE=DIR -DTEMPLATE=FILE -P write_service_worker.cmake: writes DIR/sw.js from the
# template with every other file of the folder and its SHA-256; the build's name is the hash of
# that list, so any changed file makes a new worker.
file(GLOB_RECURSE names RELATIVE ${SITE} ${SITE}/*)
# The licence texts are read from the page's footer links, online; the game needs neither to
# start offline, and leaving them out keeps a phone's first visit within its 3 MiB.
list(REMOVE_ITEM names sw.js LICENSE.txt THIRD-PARTY-NOTICES.txt)
list(SORT names)
set(files "[\n")
set(all "")
foreach(name IN LISTS names)
  file(SHA256 ${SITE}/${name} hash)
  string(APPEND files "  ['${name}', '${hash}'],\n")
  string(APPEND all "${name} ${hash}\n")
endforeach()
string(APPEND files "]")
string(SHA256 build "${all}")
string(SUBSTRING ${build} 0 16 BUILD)
set(FILES ${files})
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
