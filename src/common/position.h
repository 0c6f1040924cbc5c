// A script position: file name (as opened), line and script-file index. Stamped
// on syntax nodes and semantic entries and handed to the positioned reports.
#pragma once

namespace zv {

struct Position {
    const char* file = nullptr;  // pooled text; null when unknown
    int line = 0;
    int file_index = 0;
};

}  // namespace zv
