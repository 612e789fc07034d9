#pragma once
// Maps the engine's network error names ("net::ERR_CONNECTION_REFUSED") to
// the runtime's error codes.

#include <string>

#include "runtime/CefTypes.h"

namespace vxrt {

cef_errorcode_t NetErrorCode(const std::string& errorText);

}  // namespace vxrt
