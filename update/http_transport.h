// One synchronous HTTPS GET through WinHTTP and the system's default proxy.
// Called on worker threads only.
#pragma once

#include <string>

#include "update/update_types.h"

// extraHeader: one header line without CR LF, or nullptr for none.
HttpResponse httpsGet(const std::wstring& host, const std::wstring& path,
                      const wchar_t* extraHeader, bool ignoreCertErrors);
