#pragma once
// The diagnostics sink. Every diagnostic text of the program goes here, one message per line.
// It is off by default; it is switched on by SetDebugLogTarget (the --log option) or by the
// environment variable NQ501_LOG ("-" for standard error, otherwise a file path).
#include <functional>
#include <string>

namespace nq {

// Writes one message. A message that holds line breaks is written as one line each.
void DebugOut(const std::string& message);
// printf-style formatting into one message.
void DebugOutF(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "-" means standard error, "" switches the sink off, anything else is a file opened for append.
// Returns false when the file cannot be opened (the sink then stays off).
bool SetDebugLogTarget(const std::string& target);
// Reads NQ501_LOG once; called by the programs at start-up.
void InitDebugLogFromEnvironment();
bool DebugLogEnabled();

// Tests capture messages through a callback; pass an empty function to remove it.
void SetDebugLogCallback(std::function<void(const std::string&)> callback);

// "%02x %02x ..." of a byte range, the format of every report dump.
std::string HexBytes(const unsigned char* data, size_t length);

} // namespace nq
