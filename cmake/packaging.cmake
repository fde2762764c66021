# The download, in dist/ of the build: a reproducible ZIP (the program, the users' readme, the
# licence, the administrators' .reg example and the logon script that imports it), the per-user MSI where wixl and msitools are
# installed, and a SHA-256 file beside each. Every time stamp is the last commit's
# (scripts/at-commit-time), so that two builds of one commit give the same bytes.
if(CMAKE_HOST_WIN32)
    return()  # the packing scripts are Python and sh, run on the Debian build machine
endif()
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(QM_WIXL wixl)
find_program(QM_MSIBUILD msibuild)

set(qm_dist ${CMAKE_BINARY_DIR}/dist)
set(qm_download ${qm_dist}/QuillmarrowDefaults-${PROJECT_VERSION}-win64)
set(qm_at_commit_time ${PROJECT_SOURCE_DIR}/scripts/at-commit-time)
# The users' readme names the version as the build has it: written once, in project().
set(QM_README ${CMAKE_BINARY_DIR}/README.txt)
configure_file(${PROJECT_SOURCE_DIR}/packaging/README.txt ${QM_README} @ONLY)
# NAME in the ZIP=FILE; the text entries go with CRLF line ends.
set(qm_zip_sources
    README.txt=${QM_README}
    LICENSE.txt=${PROJECT_SOURCE_DIR}/LICENSE
    preset-defaults.reg=${PROJECT_SOURCE_DIR}/packaging/preset-defaults.reg
    preset-defaults.cmd=${PROJECT_SOURCE_DIR}/packaging/preset-defaults.cmd)
set(qm_zip_inputs ${qm_zip_sources})
list(TRANSFORM qm_zip_inputs REPLACE "^[^=]*=" "")
add_custom_command(
    OUTPUT ${qm_download}.zip ${qm_download}.zip.sha256
    COMMAND ${CMAKE_COMMAND} -E make_directory ${qm_dist}
    COMMAND ${qm_at_commit_time} ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/pack-zip
            ${qm_download}.zip QuillmarrowDefaults.exe=$<TARGET_FILE:QuillmarrowDefaults>
            ${qm_zip_sources}
    DEPENDS QuillmarrowDefaults ${qm_zip_inputs} ${PROJECT_SOURCE_DIR}/scripts/pack-zip
            ${PROJECT_SOURCE_DIR}/scripts/sha256file.py
    COMMENT "Packing ${qm_download}.zip"
    VERBATIM)
set(qm_download_files ${qm_download}.zip)

if(QM_WIXL AND QM_MSIBUILD)
    add_custom_command(
        OUTPUT ${qm_download}.msi ${qm_download}.msi.sha256
        COMMAND ${CMAKE_COMMAND} -E make_directory ${qm_dist}
        COMMAND ${qm_at_commit_time} ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/pack-msi
                ${qm_download}.msi ${PROJECT_VERSION} $<TARGET_FILE:QuillmarrowDefaults> ${QM_ICON}
        DEPENDS QuillmarrowDefaults ${QM_ICON}
                ${PROJECT_SOURCE_DIR}/packaging/QuillmarrowDefaults.wxs
                ${PROJECT_SOURCE_DIR}/scripts/pack-msi ${PROJECT_SOURCE_DIR}/scripts/sha256file.py
        COMMENT "Building ${qm_download}.msi"
        VERBATIM)
    list(APPEND qm_download_files ${qm_download}.msi)
else()
    message(STATUS "wixl or msibuild not found (scripts/install-deps): no MSI")
endif()
add_custom_target(dist ALL DEPENDS ${qm_download_files})
set(QM_DOWNLOAD ${qm_download})
