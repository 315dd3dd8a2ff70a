# Makes the release zip (cmake -P): one folder holding the program, tlcmp,
# readme.txt and SHA256SUMS of those three, so that "sha256sum -c SHA256SUMS"
# run inside the unpacked folder checks the whole installation.
#   -DPROGRAM= -DCOMPANION= -DREADME=   the files to ship
#   -DFOLDER=   the folder's name in the zip
#   -DSTAGE=    a scratch folder to build it in
#   -DZIP=      the zip to write
foreach(required PROGRAM COMPANION README FOLDER STAGE ZIP)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "release_zip.cmake needs -D${required}=")
    endif()
endforeach()

file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}/${FOLDER}")
set(sums "")
foreach(path IN ITEMS "${PROGRAM}" "${COMPANION}" "${README}")
    get_filename_component(name "${path}" NAME)
    file(COPY "${path}" DESTINATION "${STAGE}/${FOLDER}")
    file(SHA256 "${path}" hash)
    string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE "${STAGE}/${FOLDER}/SHA256SUMS" "${sums}")

file(REMOVE "${ZIP}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${ZIP}" --format=zip "${FOLDER}"
                WORKING_DIRECTORY "${STAGE}"
                RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "could not write ${ZIP}")
endif()
