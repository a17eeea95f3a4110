# The plain second implementation of both solvers and the seeded random systems, kept apart
# from the product's solvers on purpose. Built once, for the tests, the fuzzers and the
# cross-build check, and only where one of them links it.
add_library(reference_solvers STATIC EXCLUDE_FROM_ALL
    ${CMAKE_CURRENT_LIST_DIR}/ReferenceSolvers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RandomSystems.cpp
)
target_include_directories(reference_solvers PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_options(reference_solvers PRIVATE ${LINEQ_NUMERIC_CONTRACT})
