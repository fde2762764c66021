# The download: a ZIP with the program, the README (and its picture) and the licence, and its SHA-256 beside it.
install(TARGETS QuillmarrowDefaults RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/docs/dialog.png DESTINATION docs)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME QuillmarrowDefaults)
set(CPACK_PACKAGE_VENDOR "Vendrakel")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Quillmarrow Default Settings")
set(CPACK_PACKAGE_FILE_NAME "QuillmarrowDefaults-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/dist)
include(CPack)
