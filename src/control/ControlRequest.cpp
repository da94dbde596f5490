#include "control/ControlRequest.h"

#include <json/reader.h>
#include <json/writer.h>

#include <memory>
#include <sstream>

namespace nq::control {

Json::Value Request::ToJson() const
{
    Json::Value value;
    value["version"] = version;
    value["command"] = command;
    value["device"] = device;
    value["args"] = args.isObject() ? args : Json::Value(Json::objectValue);
    return value;
}

bool Request::FromJson(const Json::Value& value, Request& request, std::string& error)
{
    if (!value.isObject()) {
        error = "a request is a JSON object";
        return false;
    }
    const Json::Value& version = value["version"];
    if (!version.isInt() || version.asInt() != kProtocolVersion) {
        error = "unknown request version (this program speaks version " + std::to_string(kProtocolVersion) + ")";
        return false;
    }
    const Json::Value& command = value["command"];
    const Json::Value& device = value.get("device", "");
    const Json::Value& args = value.get("args", Json::Value(Json::objectValue));
    if (!command.isString() || !device.isString() || !args.isObject()) {
        error = "a request needs \"command\" (text), \"device\" (text) and \"args\" (object)";
        return false;
    }
    request.version = kProtocolVersion;
    request.command = command.asString();
    request.device = device.asString();
    request.args = args;
    return true;
}

Json::Value Response::ToJson() const
{
    Json::Value value;
    value["version"] = kProtocolVersion;
    value["exit"] = exit;
    value["message"] = message;
    value["data"] = data;
    return value;
}

bool Response::FromJson(const Json::Value& value, Response& response, std::string& error)
{
    if (!value.isObject() || !value["version"].isInt() || value["version"].asInt() != kProtocolVersion ||
        !value["exit"].isInt() || !value["message"].isString()) {
        error = "the program's answer is not a version " + std::to_string(kProtocolVersion) + " response";
        return false;
    }
    response.exit = value["exit"].asInt();
    response.message = value["message"].asString();
    response.data = value.get("data", Json::Value(Json::objectValue));
    return true;
}

std::string ToLine(const Json::Value& value)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["emitUTF8"] = true;
    return Json::writeString(builder, value);
}

bool ParseLine(const std::string& text, Json::Value& value)
{
    Json::CharReaderBuilder builder;
    builder["failIfExtra"] = true;
    builder["rejectDupKeys"] = true;
    builder["stackLimit"] = 64;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    return reader->parse(text.data(), text.data() + text.size(), &value, &errors);
}

} // namespace nq::control
