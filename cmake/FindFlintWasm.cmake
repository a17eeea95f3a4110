# GMP, MPFR and FLINT for WebAssembly, as scripts/web-exact-libs builds them into a prefix
# (build/web-libs unless FLINT_WASM_PREFIX names another, e.g. a build of one's own to relink
# with). Defines FlintWasm::flint, which brings MPFR and GMP, and FlintWasm_VERSIONS, the
# source packages the prefix was built from.
set(FLINT_WASM_PREFIX "${PROJECT_SOURCE_DIR}/build/web-libs"
    CACHE PATH "Where scripts/web-exact-libs put GMP, MPFR and FLINT for WebAssembly")

# Emscripten's toolchain looks only inside its sysroot unless told otherwise.
find_path(FlintWasm_INCLUDE_DIR flint/fmpq_mat.h
    PATHS ${FLINT_WASM_PREFIX}/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
foreach(library flint mpfr gmp)
    find_library(FlintWasm_${library}_LIBRARY NAMES lib${library}.a
        PATHS ${FLINT_WASM_PREFIX}/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
endforeach()
if(EXISTS ${FLINT_WASM_PREFIX}/versions.txt)
    file(STRINGS ${FLINT_WASM_PREFIX}/versions.txt FlintWasm_VERSIONS REGEX "=")
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(FlintWasm
    REQUIRED_VARS FlintWasm_INCLUDE_DIR FlintWasm_flint_LIBRARY FlintWasm_mpfr_LIBRARY
        FlintWasm_gmp_LIBRARY
    REASON_FAILURE_MESSAGE "run scripts/web-exact-libs first")

if(FlintWasm_FOUND AND NOT TARGET FlintWasm::flint)
    add_library(FlintWasm::gmp STATIC IMPORTED)
    set_target_properties(FlintWasm::gmp PROPERTIES IMPORTED_LOCATION ${FlintWasm_gmp_LIBRARY}
        INTERFACE_INCLUDE_DIRECTORIES ${FlintWasm_INCLUDE_DIR})
    add_library(FlintWasm::mpfr STATIC IMPORTED)
    set_target_properties(FlintWasm::mpfr PROPERTIES IMPORTED_LOCATION ${FlintWasm_mpfr_LIBRARY}
        INTERFACE_LINK_LIBRARIES FlintWasm::gmp)
    add_library(FlintWasm::flint STATIC IMPORTED)
    set_target_properties(FlintWasm::flint PROPERTIES IMPORTED_LOCATION ${FlintWasm_flint_LIBRARY}
        INTERFACE_LINK_LIBRARIES FlintWasm::mpfr)
endif()
