# Reading converted files back with three independent spreadsheet readers:
# xlrd, LibreOffice Calc and SheetJS. A setup test installs the readers on
# first use and converts the corpus once; each reader then has a test of its
# own. All carry the label "peers", which the sanitizer pass leaves out.
set(READERS_SOURCE ${CMAKE_CURRENT_LIST_DIR})
set(READERS_WORK ${CMAKE_CURRENT_BINARY_DIR}/readers)

if(NOT DEBIAN_PYTHON)
  message(WARNING "Debian's /usr/bin/python3 is missing: the peer reader tests are left out")
  return()
endif()

add_test(NAME peers_readers_setup
  COMMAND bash ${READERS_SOURCE}/install_readers.sh ${READERS_WORK}/npm)
add_test(NAME peers_readers_corpus
  COMMAND ${DEBIAN_PYTHON} ${READERS_SOURCE}/corpus.py $<TARGET_FILE:zorbik-convert> ${READERS_WORK}/corpus)
set_tests_properties(peers_readers_setup PROPERTIES FIXTURES_SETUP readers_tools TIMEOUT 1800)
set_tests_properties(peers_readers_corpus PROPERTIES FIXTURES_SETUP readers_corpus TIMEOUT 300)

set(READERS_CHECK ${DEBIAN_PYTHON} ${READERS_SOURCE}/check_reader.py)
add_test(NAME peers_read_with_xlrd
  COMMAND ${READERS_CHECK} xlrd ${READERS_WORK}/corpus ${READERS_WORK}/xlrd.json --
          ${DEBIAN_PYTHON} ${READERS_SOURCE}/read_xlrd.py ${READERS_WORK}/corpus ${READERS_WORK}/xlrd.json)
add_test(NAME peers_read_with_libreoffice
  COMMAND ${READERS_CHECK} libreoffice ${READERS_WORK}/corpus ${READERS_WORK}/libreoffice.json --
          ${DEBIAN_PYTHON} ${READERS_SOURCE}/read_libreoffice.py ${READERS_WORK}/corpus ${READERS_WORK}/lo
          ${READERS_WORK}/libreoffice.json)
add_test(NAME peers_read_with_sheetjs
  COMMAND ${READERS_CHECK} sheetjs ${READERS_WORK}/corpus ${READERS_WORK}/sheetjs.json --
          node ${READERS_SOURCE}/read_sheetjs.js ${READERS_WORK}/npm/node_modules ${READERS_WORK}/corpus
          ${READERS_WORK}/sheetjs.json)

set_tests_properties(peers_read_with_xlrd PROPERTIES FIXTURES_REQUIRED readers_corpus TIMEOUT 600)
set_tests_properties(peers_read_with_libreoffice peers_read_with_sheetjs PROPERTIES
  FIXTURES_REQUIRED "readers_tools;readers_corpus" TIMEOUT 900)
set_tests_properties(peers_readers_setup peers_readers_corpus peers_read_with_xlrd peers_read_with_libreoffice
  peers_read_with_sheetjs PROPERTIES LABELS peers)
