#pragma once
// The control requests of nq501ctl and their answers, as versioned JSON. The same text travels on
// the running program's local socket (one line each way) and is what the direct route carries out.
//
// Request:  {"version": 1, "command": "set", "device": "mouse",
//            "args": {"setting": "dpi", "stage": 1, "value": 1600}}
// Response: {"version": 1, "exit": 0, "message": "mouse: DPI stage 1 set to 1600", "data": {...}}
//
// "command" is list, show, status, set or profile; "device" names the device (empty for list);
// "args" holds the command's arguments. "exit" is the exit code nq501ctl ends with.
#include <json/value.h>

#include <string>

namespace nq::control {

constexpr int kProtocolVersion = 1;

// Exit codes a script can rely on.
enum Exit : int {
    kExitDone = 0,
    kExitFailed = 1,    // the device refused, did not answer, or a file could not be written
    kExitUsage = 2,     // the request or a value in it is not valid
    kExitNoDevice = 3,  // no such device
    kExitHeld = 4,      // another program holds the device
};

struct Request {
    int version = kProtocolVersion;
    std::string command;
    std::string device;
    Json::Value args{Json::objectValue};

    Json::Value ToJson() const;
    // False (with the reason) when the text is not a request of a version this build knows.
    static bool FromJson(const Json::Value& value, Request& request, std::string& error);
};

struct Response {
    int exit = kExitDone;
    std::string message;
    Json::Value data{Json::objectValue};

    Json::Value ToJson() const;
    static bool FromJson(const Json::Value& value, Response& response, std::string& error);

    static Response Fail(int exit, std::string message)
    {
        Response r;
        r.exit = exit;
        r.message = std::move(message);
        return r;
    }
};

// One JSON document as a single line (no line breaks inside), and its parsing. Parse gives
// false for text that is not exactly one JSON value.
std::string ToLine(const Json::Value& value);
bool ParseLine(const std::string& text, Json::Value& value);

} // namespace nq::control
