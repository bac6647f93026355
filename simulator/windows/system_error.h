// One-line reasons for the calls of driver_control.h.
#pragma once

#include <string>

namespace simwin {

// False, with "WHAT: error N (the system's text)" of the calling thread's last error.
bool Failed(const std::string& what, std::string& error);

}  // namespace simwin
