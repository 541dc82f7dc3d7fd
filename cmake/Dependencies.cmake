# Libraries the application's own code calls directly (beyond JUCE).
pkg_check_modules(LTC REQUIRED IMPORTED_TARGET ltc)
target_link_libraries(vantrel_core PUBLIC PkgConfig::LTC)

# Boost.Asio and Boost.Beast (header-only) carry the HTTP and WebSocket server. Only the
# server's own sources include them; the public headers stay free of them.
find_package(Boost 1.81 REQUIRED)
target_link_libraries(vantrel_core PUBLIC Boost::headers)
target_compile_definitions(vantrel_core PUBLIC BOOST_ASIO_NO_DEPRECATED)
