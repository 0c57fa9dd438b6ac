#pragma once
#include <string>

// The two web addresses of "data\links.txt": the page shown inside the launcher and the page
// opened when the program ends. Both are empty until read.
extern std::string g_browserAddress;
extern std::string g_exitAddress;

// Reads "data\links.txt" (stored scrambled; a copy on disk is unscrambled too). Line 1 gives the
// browser address, line 2 the exit address: the first blank-separated token of the line,
// prefixed with "http://". Lines holding "//" are comments, which is why the file carries the
// addresses without their scheme. A missing file or line gives "http://".
void ReadWebAddresses();

// True when an address names a web page: "http://" or "https://" (the scheme in any case)
// followed by at least one character, with no blank or control character anywhere.
bool IsWebAddress(const std::string& address);
