// Date and time pictures: writing day numbers and standard times, and reading them back.
#pragma once

#include <string>
#include <string_view>

#include "platform/runtime/picture_syntax.h"

namespace runtime {

// The date of a day number in a Date picture; empty for 0 and for day numbers out of range.
std::string formatDate(const Picture& picture, long long date);
// The day number of a text in a Date picture; 0 when it is blank or no valid date.
int deformatDate(const Picture& picture, std::string_view text);

// The time of day of a standard time in a Time picture; empty for 0 and values out of range.
std::string formatTime(const Picture& picture, long long time);
// The standard time of a text in a Time picture; 0 when it is blank or no valid time.
int deformatTime(std::string_view text);

}  // namespace runtime
