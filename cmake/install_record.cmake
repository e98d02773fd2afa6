# Run as part of every install (see desktop/CMakeLists.txt). A real install, one without
# DESTDIR, leaves in the build folder what make uninstall needs to undo it:
#   installed_files.txt    the files it wrote (the list of install_manifest.txt)
#   installed_folders.txt  the folders it had to make, with those of earlier installs
# A staged install (DESTDIR, as make package does) writes to a folder of its own and is
# not recorded, so it never replaces the record of the real one. install_manifest.txt
# itself cannot serve: a staged install overwrites it with paths it did not write.

# Before the first file: notes which of the folders DIRS (relative to the prefix), and
# which of their parents, are missing.
function(fenwater_note_missing_folders dirs)
    set(missing)
    foreach(dir ${dirs})
        set(path "${CMAKE_INSTALL_PREFIX}/${dir}")
        while(NOT EXISTS "${path}")
            list(APPEND missing "${path}")
            get_filename_component(path "${path}" DIRECTORY)
        endwhile()
    endforeach()
    set_property(GLOBAL PROPERTY fenwater_missing_folders "${missing}")
endfunction()

# After the last file: writes the record into BUILD.
function(fenwater_write_install_record build)
    if(NOT "$ENV{DESTDIR}" STREQUAL "")
        return()
    endif()
    get_property(folders GLOBAL PROPERTY fenwater_missing_folders)
    if(EXISTS "${build}/installed_folders.txt")
        file(STRINGS "${build}/installed_folders.txt" earlier)
        list(APPEND folders ${earlier})
    endif()
    list(REMOVE_DUPLICATES folders)
    list(SORT folders)
    list(JOIN folders "\n" text)
    file(WRITE "${build}/installed_folders.txt" "${text}\n")
    list(JOIN CMAKE_INSTALL_MANIFEST_FILES "\n" text)
    file(WRITE "${build}/installed_files.txt" "${text}\n")
endfunction()
