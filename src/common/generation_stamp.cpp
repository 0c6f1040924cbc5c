#include "common/generation_stamp.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace zv {

namespace {

// The epoch of SOURCE_DATE_EPOCH; a value that is not a whole decimal number
// is ignored.
std::optional<std::time_t> source_date_epoch() {
    const char* text = std::getenv("SOURCE_DATE_EPOCH");
    if (!text || !*text) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < 0) return std::nullopt;
    return static_cast<std::time_t>(value);
}

}  // namespace

std::string ctime_text(const std::tm& time) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int day = time.tm_wday >= 0 && time.tm_wday < 7 ? time.tm_wday : 0;
    const int month = time.tm_mon >= 0 && time.tm_mon < 12 ? time.tm_mon : 0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", kDays[day], kMonths[month],
                  time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec, 1900 + time.tm_year);
    return buffer;
}

std::string generation_date() {
    std::tm broken{};
    if (const auto epoch = source_date_epoch()) {
        gmtime_r(&*epoch, &broken);
    } else {
        const std::time_t now = std::time(nullptr);
        localtime_r(&now, &broken);
    }
    return ctime_text(broken);
}

long generation_process_id() { return source_date_epoch() ? 0L : static_cast<long>(::getpid()); }

long date_character_sum(const std::string& date) {
    long sum = 0;
    for (unsigned char c : date) sum += static_cast<long>(c) - 32;
    return sum;
}

}  // namespace zv
