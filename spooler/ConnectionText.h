#pragma once

#include <string>
#include <string_view>

// What the printer list shows as a printer's connection, worked out from its CUPS device URI:
// "FILE:" for a file device, the print server's host name for a network connection, and the
// device URI itself for everything else (a socket, USB or serial device, a local queue).
namespace ConnectionText {

// `remote`: CUPS marks the destination as shared from another server. `printerUri` is the
// queue's own URI, used for the host when a remote destination carries no device URI.
std::string fromDeviceUri(std::string_view deviceUri, bool remote, std::string_view printerUri = {});

// The host part of a URI ("ipp://host:631/x" -> "host"; "[::1]" keeps no brackets). Empty when
// the URI has no authority.
std::string hostOf(std::string_view uri);

// True for localhost and the loopback addresses.
bool isLoopbackHost(std::string_view host);

}  // namespace ConnectionText
