#pragma once

#include <string>

namespace e2e {

// "has_task NAME": whether the Task Scheduler's root folder holds a task of that name.
std::string cmd_has_task(const std::string& name);

} // namespace e2e
