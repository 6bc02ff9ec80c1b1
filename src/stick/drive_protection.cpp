#include "stick/drive_protection.h"

#include "text/messages.h"

namespace {

constexpr unsigned kRemovableDriveType = 2;

}  // namespace

DriveProtection DriveProtectionOf(std::optional<int> value) {
    if (!value) return DriveProtection::Unknown;
    switch (*value) {
        case 1:
        case 3:
        case 5:
            return DriveProtection::On;
        case 2:
            return DriveProtection::Off;
        case 4:
            return DriveProtection::Decrypting;
        case 6:
            return DriveProtection::Locked;
        default:
            return DriveProtection::Unknown;
    }
}

bool AsksForProtection(bool backupMade, unsigned driveType) {
    return backupMade && driveType == kRemovableDriveType;
}

WideString ProtectionLine(std::optional<int> value, const WideString& drive) {
    // Only a drive known to be open is worth a line: a wrong warning on a
    // protected stick would teach users to skip the line.
    if (DriveProtectionOf(value) != DriveProtection::Off) return WideString();
    return Say(Message::StickNotEncrypted, {drive});
}
