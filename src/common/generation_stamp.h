// The stamp that every generator of one run shares: the generation date in the
// C library's ctime form (no final newline) and the process id quoted in the
// keys of the outputs. With SOURCE_DATE_EPOCH set the date comes from it (UTC)
// and the process id is 0, so that two runs write the same bytes.
#pragma once

#include <ctime>
#include <string>

namespace zv {

// "Thu Jan  1 00:00:00 1970" for a broken-down time, whatever the locale.
std::string ctime_text(const std::tm& time);

// The date of this run: local time now, or SOURCE_DATE_EPOCH in UTC.
std::string generation_date();

// getpid(), or 0 when SOURCE_DATE_EPOCH is set.
long generation_process_id();

// The sum over the date text of (character code - 32), a part of the keys
// that identify a script file of this run in the outputs.
long date_character_sum(const std::string& date);

}  // namespace zv
