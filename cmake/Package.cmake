# The Debian package, made by CPack from the install rules: whatever the project installs
# goes in. `cpack -G DEB` in a build tree, or `cmake --workflow --preset package`.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lineq)
set(CPACK_PACKAGE_VENDOR Quorvelt)
set(CPACK_PACKAGE_CONTACT "Lineq maintainers <maintainers@users.noreply.c-seed-df4bf9eb.example>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(contents "the window program lineq with its desktop entry and icon")
if(TARGET lineq-exact)
    string(APPEND contents ",\nits helper lineq-exact, which solves a system exactly for comparison")
endif()
if(TARGET lineq-solve)
    string(APPEND contents ",\nand the command-line program lineq-solve with its manual page")
endif()
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "calculator for linear simultaneous equations
Lineq solves a square system of linear equations A x = b by Gauss elimination
with partial pivoting, by Cholesky decomposition, or by both, and shows each
solution in its own box so that the two can be compared. Every result is
reproducible bit for bit: the arithmetic follows a fixed operation order and
is compiled without fused multiply-add or value-changing optimisations.
The package holds ${contents}.")
# The linked libraries come from dpkg-shlibdeps; these are loaded at run time: the platform
# plugin that opens the window, the SVG icon engine, and the faces the layout was drawn for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6svg6, fonts-roboto-unhinted, fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
include(CPack)
