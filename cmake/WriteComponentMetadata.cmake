# cmake -DTEMPLATE= -DOUTPUT= -DVERSION= -DROOT= -DFILES=a|b|c -P WriteComponentMetadata.cmake
# Writes OUTPUT from TEMPLATE with TONQUILL_COMPONENT_BUILD = VERSION-HASH, where HASH is the
# start of a SHA-256 over each file's path below ROOT and its own SHA-256.
string(REPLACE "|" ";" files "${FILES}")
set(listing "")
foreach(file IN LISTS files)
    file(RELATIVE_PATH relative ${ROOT} ${file})
    file(SHA256 ${file} hash)
    list(APPEND listing "${relative} ${hash}")
endforeach()
list(SORT listing)
string(SHA256 hash "${listing}")
string(SUBSTRING ${hash} 0 16 hash)
set(TONQUILL_COMPONENT_BUILD "${VERSION}-${hash}")
# Written only when it changes; touched otherwise, so that the build sees it up to date.
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
file(TOUCH_NOCREATE ${OUTPUT})
