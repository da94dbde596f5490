#pragma once
// Signed integer results that cross module borders. Nothing is thrown across a border.
namespace nq {

enum Result : int {
    kOk = 1,               // success
    kNotOpen = 0,          // not open, no reply, or refused by a precondition
    kWriteFailed = -1,     // write failed or out of memory
    kRefusedFF = -102,     // the device refused the report with status 0xFF
    kRefusedFE = -103,     // the device refused the report with status 0xFE
    kInvalidArgument = -201,
};

} // namespace nq
