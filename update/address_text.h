// Whether the text after a reply word is an IP address. Pure: no <windows.h>.
#pragma once

#include <string>

// An IP address in text form, as the update server reports the address it
// saw, and nothing else: no host name, port, prefix length, zone or brackets.
//   IPv4: four decimal numbers 0-255 joined by dots, each without a leading
//         zero (some readers take "010" as octal).
//   IPv6: groups of one to four hex digits joined by colons: eight of them,
//         or fewer with one "::" standing for one or more zero groups; the
//         last two groups may be written as an IPv4 address.
// At most 45 characters, the longest such text (six full groups and a full
// IPv4 address); the bytes are looked at as they are, so anything outside
// ASCII is no address.
bool isIpAddressText(const std::string& text);
