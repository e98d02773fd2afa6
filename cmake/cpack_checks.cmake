# Read by cpack before it builds the package. Without these two tools CPack would leave
# the libraries out of Depends with no more than a warning.
find_program(fenwater_file file)
find_program(fenwater_shlibdeps dpkg-shlibdeps)
if(NOT fenwater_file OR NOT fenwater_shlibdeps)
    message(FATAL_ERROR "Building the package needs file and dpkg-shlibdeps "
                        "(the Debian packages file and dpkg-dev).")
endif()
