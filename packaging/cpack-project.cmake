# Read by cpack before it writes a package.

if(CPACK_GENERATOR STREQUAL "DEB")
    # The package's Depends line is computed from the programs by
    # dpkg-shlibdeps, which asks file. Without them cpack would write a
    # package that depends on nothing, whose programs stop working the day
    # apt removes Qt as unused.
    foreach(tool dpkg-shlibdeps file)
        find_program(found_${tool} ${tool} PATHS ENV PATH NO_DEFAULT_PATH NO_CACHE)
        if(NOT found_${tool})
            message(FATAL_ERROR "kelpra: cannot build the Debian package: ${tool} is missing "
                                "(sudo apt-get install dpkg-dev file), or run bash tools/package.sh, "
                                "which installs what building the package needs.")
        endif()
    endforeach()
endif()

# Every file of the package carries the time of the commit it was built
# from, so two builds of one commit give the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C "${CPACK_KELPRA_SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
    if(failed OR NOT commit_time)
        # Unpacked sources, no history: the time their changelog was written.
        file(TIMESTAMP "${CPACK_KELPRA_SOURCE_DIR}/packaging/linux/changelog" commit_time "%s" UTC)
    endif()
    set(ENV{SOURCE_DATE_EPOCH} "${commit_time}")
endif()
