// Whether the backup drive would hand its files to whoever finds it: what
// the shell's property System.Volume.BitLockerProtection of the drive's root
// says, decided from its value alone, so that a test can feed every value.
// The values are not documented; the ones Explorer offers its BitLocker
// commands by are: 1, 3 and 5 protected and unlocked, 2 off, 4 being
// decrypted, 6 locked.
#pragma once

#include <optional>

#include "text/wide_string.h"

enum class DriveProtection {
    Unknown,     // no answer, or a value not listed above
    On,          // 1, 3, 5
    Off,         // 2: the files lie on the drive as they are
    Decrypting,  // 4
    Locked,      // 6
};

// The protection a value of the property stands for.
//   2 => Off   5 => On   6 => Locked   7 => Unknown   none => Unknown
DriveProtection DriveProtectionOf(std::optional<int> value);

// Whether a run asks for the protection at all: only after a backup was
// made (backupMade) onto a removable drive (driveType 2, as GetDriveTypeW
// answers), so other runs pay nothing for it.
//   (true, 2) => true   (true, 3) => false   (false, 2) => false
bool AsksForProtection(bool backupMade, unsigned driveType);

// The line said before the verdict when the drive is not encrypted, in the
// user's language; empty for every other value and for no answer.
//   (2, "E:") => "E: is not encrypted: whoever finds this stick can read ..."
//   (1, "E:") => ""   (none, "E:") => ""
WideString ProtectionLine(std::optional<int> value, const WideString& drive);
