# What a release of the launcher carries for its one patch. The defaults are the sample patch of
# this release; tools/build-launcher passes another patch's values (and checks them first).
set(SP_PATCH_PACKAGE "${CMAKE_SOURCE_DIR}/res/sample.msp" CACHE FILEPATH "Patch package (.msp) to carry")
set(SP_PATCH_INFO "${CMAKE_SOURCE_DIR}/res/patchinfo.txt" CACHE FILEPATH "Description block 206 (CR LF lines)")
set(SP_TARGET_VERSION "7.2.0.2" CACHE STRING "Version a product reports once patched")
set(SP_CANDIDATE_VERSIONS "7.0.43.3,7.0.43.5,7.0.61.1,7.1.0.5," CACHE STRING "Versions the patch applies to, each followed by ','")

set(SP_GENERATED_RES "${CMAKE_BINARY_DIR}/generated/res")
file(MAKE_DIRECTORY "${SP_GENERATED_RES}")
configure_file("${CMAKE_SOURCE_DIR}/res/patch.rc.in" "${SP_GENERATED_RES}/patch.rc" @ONLY)
