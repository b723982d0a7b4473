// The scheduled change in the Task Scheduler: one task of the current user, registered,
// updated or deleted through ITaskService. The task's XML comes from schedule_task.h.
#pragma once

#include <optional>
#include <string>

#include "base/error.h"

namespace velmaro::wallpaper {

// The Task Scheduler refused: the text says why, in words and with its code.
class ScheduleError : public Error {
  public:
    using Error::Error;
};

// The current user's SID in its text form ("S-1-5-21-...").
std::string current_user_sid();

// Registers the task, or replaces the one there, for an interval of `minutes`.
// Throws ScheduleError.
void register_schedule_task(int minutes, bool battery_pause);

// Deletes the task; a task that is not there is no error. Throws ScheduleError.
void delete_schedule_task();

// Whether the task is there.
bool schedule_task_exists();

// At the interactive start: a task that starts another copy of the program (a portable
// copy that was moved) is registered again for this one. A task that is not there
// stays away (the user may have deleted it), and a Task Scheduler that refuses now
// is left for the Options dialog to report. Throws nothing.
void refresh_schedule_task(int minutes, bool battery_pause);

} // namespace velmaro::wallpaper
