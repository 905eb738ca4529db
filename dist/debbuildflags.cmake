# Debian builds every package with the flags that dpkg-buildflags prints:
# fortified libc calls, stack protector, read-only relocations bound at start,
# and source paths made relative so that builds are reproducible. They apply
# to every object, as they do when a Debian package build exports them.
find_program(KELVRA_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
if(NOT DEFINED ENV{DEB_BUILD_MAINT_OPTIONS})
    # bindnow is not on by default; +all asks for it with everything else.
    set(ENV{DEB_BUILD_MAINT_OPTIONS} "hardening=+all")
endif()

function(kelvra_dpkg_buildflags name out)
    execute_process(COMMAND ${KELVRA_DPKG_BUILDFLAGS} --get ${name}
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
    set(${out} "${flags}" PARENT_SCOPE)
endfunction()

# CMake reads no CPPFLAGS, so the preprocessor's flags (_FORTIFY_SOURCE) go
# with the compiler's. Normal variables shadow the cache, so a second
# configure does not add them twice.
kelvra_dpkg_buildflags(CPPFLAGS cppflags)
kelvra_dpkg_buildflags(CXXFLAGS cxxflags)
kelvra_dpkg_buildflags(LDFLAGS ldflags)
string(APPEND CMAKE_CXX_FLAGS " ${cppflags} ${cxxflags}")
string(APPEND CMAKE_EXE_LINKER_FLAGS " ${ldflags}")
string(APPEND CMAKE_SHARED_LINKER_FLAGS " ${ldflags}")
message(STATUS "Debian build flags: ${cppflags} ${cxxflags} | ${ldflags}")
