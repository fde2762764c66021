# The download, in dist/ of the build: a reproducible ZIP (the program, the README and its picture,
# the licence, the administrators' .reg example), the per-user MSI, and a SHA-256 file beside each.
# Every time stamp is the last commit's (scripts/at-commit-time).
if(CMAKE_HOST_WIN32)
    return()  # the packing scripts are Python and sh, run on the Debian build machine
endif()
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(QM_WIXL wixl)

set(qm_dist ${CMAKE_BINARY_DIR}/dist)
set(qm_download ${qm_dist}/QuillmarrowDefaults-${PROJECT_VERSION}-win64)
set(qm_at_commit_time ${PROJECT_SOURCE_DIR}/scripts/at-commit-time)
set(qm_zip_files
    QuillmarrowDefaults.exe=$<TARGET_FILE:QuillmarrowDefaults>
    README.md=${PROJECT_SOURCE_DIR}/README.md
    LICENSE=${PROJECT_SOURCE_DIR}/LICENSE
    docs/dialog.png=${PROJECT_SOURCE_DIR}/docs/dialog.png
    docs/preset-defaults.reg=${PROJECT_SOURCE_DIR}/docs/preset-defaults.reg)
add_custom_command(
    OUTPUT ${qm_download}.zip ${qm_download}.zip.sha256
    COMMAND ${CMAKE_COMMAND} -E make_directory ${qm_dist}
    COMMAND ${qm_at_commit_time} ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/pack-zip
            ${qm_download}.zip ${qm_zip_files}
    DEPENDS QuillmarrowDefaults ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
            ${PROJECT_SOURCE_DIR}/docs/dialog.png ${PROJECT_SOURCE_DIR}/docs/preset-defaults.reg
            ${PROJECT_SOURCE_DIR}/scripts/pack-zip ${PROJECT_SOURCE_DIR}/scripts/sha256file.py
    COMMENT "Packing ${qm_download}.zip"
    VERBATIM)
set(qm_download_files ${qm_download}.zip)

if(QM_WIXL)
    add_custom_command(
        OUTPUT ${qm_download}.msi ${qm_download}.msi.sha256
        COMMAND ${CMAKE_COMMAND} -E make_directory ${qm_dist}
        COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/pack-msi ${qm_download}.msi
                ${PROJECT_VERSION} $<TARGET_FILE:QuillmarrowDefaults> ${QM_ICON}
        DEPENDS QuillmarrowDefaults ${QM_ICON}
                ${PROJECT_SOURCE_DIR}/packaging/QuillmarrowDefaults.wxs
                ${PROJECT_SOURCE_DIR}/scripts/pack-msi ${PROJECT_SOURCE_DIR}/scripts/sha256file.py
        COMMENT "Building ${qm_download}.msi"
        VERBATIM)
    list(APPEND qm_download_files ${qm_download}.msi)
else()
    message(STATUS "wixl not found (scripts/install-deps): no MSI")
endif()
add_custom_target(dist ALL DEPENDS ${qm_download_files})
set(QM_DOWNLOAD ${qm_download})
