# Libraries the application's own code calls directly (beyond JUCE). cmake/Layers.cmake
# links each to the one layer that uses it.
pkg_check_modules(LTC REQUIRED IMPORTED_TARGET ltc)

# Boost.Asio and Boost.Beast (header-only) carry the HTTP and WebSocket server. Only the
# server's own sources include them; the public headers stay free of them.
find_package(Boost 1.81 REQUIRED)

# Server addresses shown as QR codes on the web-client page.
pkg_check_modules(QRCODEGEN REQUIRED IMPORTED_TARGET qrcodegencpp)

# OpenSSL 3 under Asio's TLS streams: the secure server and the secure client.
find_package(OpenSSL 3 REQUIRED)
