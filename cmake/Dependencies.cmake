# Libraries the application's own code calls directly (beyond JUCE).
pkg_check_modules(LTC REQUIRED IMPORTED_TARGET ltc)
target_link_libraries(vantrel_core PUBLIC PkgConfig::LTC)
