#pragma once

#include <string>

namespace e2e {

// "user_task PREFIX": the name PREFIX + the user's SID when the root folder holds a task
// of that name, else null.
std::string cmd_user_task(const std::string& prefix);

} // namespace e2e
