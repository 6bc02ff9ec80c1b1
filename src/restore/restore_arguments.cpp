#include "restore/restore_arguments.h"

#include <cwctype>

#include "points/restore_plan.h"
#include "text/case_text.h"

namespace {

// The value of "/name:value" when the argument is that switch.
bool ValueOf(const WideString& argument, const wchar_t* name, WideString* value) {
    const WideString prefix = WideString(L"/") + name + L":";
    if (argument.size() < prefix.size() || ToLowerText(argument.substr(0, prefix.size())) != prefix) return false;
    *value = argument.substr(prefix.size());
    return true;
}

}  // namespace

StickArguments ReadStickArguments(const StringList& arguments) {
    StickArguments read;
    if (arguments.empty() || arguments[0].empty() || arguments[0][0] != L'/') return read;
    const WideString task = ToLowerText(arguments[0]);
    if (task == L"/restore") {
        read.task = StickTask::Restore;
    } else if (task == L"/check") {
        read.task = StickTask::Check;
    } else {
        read.unknown = arguments[0];
        return read;
    }
    for (size_t i = 1; i < arguments.size() && read.unknown.empty(); ++i) {
        const WideString& argument = arguments[i];
        const WideString lower = ToLowerText(argument);
        const bool restoring = read.task == StickTask::Restore;
        WideString value;
        bool taken = true;
        if (ValueOf(argument, L"from", &value)) {
            read.from = value;
            taken = !value.empty();
        } else if (ValueOf(argument, L"on", &value)) {
            read.on = DriveOfSwitch(value);
            taken = !read.on.empty();
        } else if (lower == L"/dates" && restoring) {
            read.task = StickTask::Dates;
        } else if (ValueOf(argument, L"at", &value) && restoring) {
            read.at = value;
            taken = !value.empty();
        } else if (ValueOf(argument, L"to", &value) && restoring) {
            read.toOriginal = ToLowerText(value) == L"original";
            if (!read.toOriginal) read.to = value;
            taken = !value.empty();
        } else if (ValueOf(argument, L"only", &value) && restoring) {
            read.only = value;
            taken = !value.empty();
        } else if (lower == L"/replace" && restoring) {
            read.replace = true;
        } else if (lower == L"/list" && restoring) {
            read.list = true;
        } else {
            taken = false;
        }
        if (!taken) read.unknown = argument;
    }
    // A list of dates takes no restore's switches.
    if (read.task == StickTask::Dates && read.unknown.empty() &&
        (!read.at.empty() || !read.to.empty() || read.toOriginal || !read.only.empty() || read.replace || read.list)) {
        read.unknown = L"/dates";
    }
    return read;
}

WideString DriveOfSwitch(const WideString& value) {
    if (value.size() < 2 || value.size() > 3 || !IsDriveLetter(value[0]) || value[1] != L':') return WideString();
    if (value.size() == 3 && value[2] != L'\\') return WideString();
    return WideString(1, static_cast<wchar_t>(towupper(value[0]))) + L":";
}
