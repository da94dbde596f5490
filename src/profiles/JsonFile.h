#pragma once
// Reading and writing the program's JSON data files (profiles, lists, light files, ...).
//
// Reading never fails loudly: a file that is missing, empty, unreadable, too large, too deeply
// nested or not JSON reads as a null value, and the caller falls back to its defaults.
// Writing is atomic: the styled text goes to a temporary file in the same folder, which is then
// renamed over the target, so the target holds either its old or its new content, never a part.
#include <json/value.h>

#include <string>

namespace nq {

// Files larger than this are not read (they read as empty).
constexpr size_t kMaxDataFileSize = 64u * 1024u * 1024u;
// Arrays and objects nested deeper than this make a document unreadable.
constexpr int kMaxJsonDepth = 128;

// The whole content of the file up to its first zero byte; empty when it cannot be read.
// Traces "readjsonFile 错误吗：：<errno>" on every call.
std::string ReadTextFile(const std::string& path);

// Parses JSON text (comments allowed and kept). Null when the text is empty or does not parse.
Json::Value ParseJsonText(const std::string& text);

// The parsed file; null when it is missing, empty or does not parse (an empty file traces its path).
Json::Value ReadJsonFile(const std::string& path);

// The styled text of a value as it is written to disk: the styled writer's text (three-space
// indentation, short arrays on one line) followed by one further line break.
std::string StyledJsonText(const Json::Value& value);

// Replaces the file with StyledJsonText(value). Returns false (and leaves any previous file as
// it was) when the file cannot be written; the failure is traced.
bool WriteJsonFile(const std::string& path, const Json::Value& value);
// Replaces the file with these bytes the same way (temporary file, sync, rename).
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

} // namespace nq
