#pragma once
// Reading and writing the program's JSON data files (profiles, lists, light files, ...).
//
// Reading never fails loudly: a file that is missing, empty, unreadable, too large, too deeply
// nested or not exactly one JSON document reads as a null value, and the caller falls back to its
// defaults. Callers that replace a user's file use ReadJsonDocument to tell a file that holds
// nothing from one whose content cannot be used (and must be kept, see FileBackup).
// Writing is atomic: the styled text goes to a temporary file in the same folder, which is then
// renamed over the target, so the target holds either its old or its new content, never a part.
#include <json/value.h>

#include <string>

namespace nq {

// One limit for reading and writing: a file larger than this is not read (it is not one of ours:
// a profile is a few KB), and a document whose text would be larger is not written, so nothing is
// ever saved that the next start could not read back.
constexpr size_t kMaxDataFileSize = 4u * 1024u * 1024u;
// Arrays and objects nested deeper than this make a document unreadable.
constexpr int kMaxJsonDepth = 128;

// The whole content of the file up to its first zero byte; empty when it cannot be read.
// Traces "readjsonFile 错误吗：：<errno>" on every call.
std::string ReadTextFile(const std::string& path);

// Parses JSON text (comments allowed and kept). Null unless the text is exactly one JSON document:
// empty text, a zero byte anywhere, or anything but white space and comments after the first
// value make it unusable.
Json::Value ParseJsonText(const std::string& text);

// A data file as a caller that may replace it needs to see it.
struct JsonDocument {
    enum class State {
        Missing,  // no file
        Blank,    // empty, or nothing but spaces, tabs and line breaks
        Parsed,   // exactly one JSON document: `value`
        Unusable, // holds something that is not one JSON document, or cannot be read, or is too
                  // large: it may be the user's and is kept (FileBackup) before it is replaced
        NotAFile, // a folder, FIFO, socket or device node: never replaced
    };
    State state = State::Missing;
    Json::Value value; // null unless Parsed
};

// Reads and classifies the file at `path` (traces as ReadJsonFile does).
JsonDocument ReadJsonDocument(const std::string& path);

// The parsed file; null when it is missing, empty or does not parse (an empty file traces its path).
Json::Value ReadJsonFile(const std::string& path);

// The styled text of a value as it is written to disk: the styled writer's text (three-space
// indentation, short arrays on one line) followed by one further line break.
std::string StyledJsonText(const Json::Value& value);

// The outcome of a write, for callers that tell the user why a save did not happen.
enum class WriteStatus {
    Written,
    NothingToWrite, // no path, or nothing loaded that could be written
    TooLarge,       // the text would be larger than kMaxDataFileSize; nothing was written
    Failed,         // the folder or disk refused it, or what is there could not be kept aside
};

// Replaces the file with StyledJsonText(value). Returns false (and leaves any previous file as
// it was) when the file cannot be written; the failure is traced and, when `status` is given,
// stored there.
bool WriteJsonFile(const std::string& path, const Json::Value& value, WriteStatus* status = nullptr);
// Replaces the file with these bytes the same way (temporary file, sync, rename, size limit).
bool WriteFileAtomically(const std::string& path, const std::string& bytes, WriteStatus* status = nullptr);

// Temporary files of WriteJsonFile are named <file>.tmp<pid>_<n>. A process killed during a write
// leaves one behind; this removes those in `folder` (not following links) whose process is gone,
// and those older than ten minutes whoever owns them (a write takes well under a second; a live
// process with an old file is a reused process id). Returns how many were removed.
int RemoveStaleTemporaryFiles(const std::string& folder);
// True when `name` (a file name without folder) has the form of such a temporary file.
bool IsTemporaryFileName(const std::string& name);

} // namespace nq
