// The restore's decisions, each a pure function of what the stick and the
// system answered, so that a test can feed it any answer: where a restore
// to the original places may write, which drives are missing, what is a
// link, which folder is the stick's own, the temporary names, what is tried
// again, the room a restore needs, its exit status and what /check counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "restore/restore_files.h"
#include "points/restore_plan.h"
#include "text/wide_string.h"

// ---- Where a restore to the original places may write

// The places below the computer's folder of the folder list's lines (the
// folders the computer's backup was made from), each line in its canonical
// form. Empty lines, whole drives, network paths and lines without a
// canonical form give none.
//   {"C:\KORV\Data", "", "c:/KORV/Master/", "C:\", "\\srv\s\x", "KORV"} => {"C\KORV\Data", "C\KORV\Master"}
StringList PlacesOfFolderList(const StringList& lines);

// The place that holds the path (the path itself or a folder above it), the
// longest when several do, whatever the letter case; empty when none does.
//   ("C\KORV\Data\a.txt", {"C\KORV", "c\korv\data"}) => "c\korv\data"
//   ("C\KORV\Database\a", {"C\KORV\Data"}) => ""
WideString PlaceHolding(const WideString& relative, const StringList& places);

// Why an item is not tried at all, or Restored when it may be: no place to
// go (NoPlace, or OutsideFolders when it has an original place that no
// folder of the backup holds), its drive not on this computer, no file on
// the stick, no checksum line.
RestoreOutcome OutcomeBeforeWriting(const RestoreItem& item, bool outsideFolders, bool driveMissing);

// ---- What the system says of targets

// Whether a drive is not on this computer, from GetDriveTypeW's answer for
// its root and whether the root could be read: no such root, or a drive
// without its medium (a card slot without a card).
//   (DRIVE_NO_ROOT_DIR, false) => true   (DRIVE_REMOVABLE, false) => true   (DRIVE_FIXED, true) => false
bool DriveIsMissing(unsigned driveType, bool rootThere);

// Whether an entry, from its attributes and (for a reparse point) its tag as
// a folder listing gives it, leads elsewhere, so that a restore must not
// write through it: a junction, a symbolic link, any tag that stands for
// another name, or a reparse point whose tag the system does not give. A
// cloud file's placeholder (OneDrive) is no link.
//   (DIRECTORY | REPARSE_POINT, IO_REPARSE_TAG_MOUNT_POINT) => true   (DIRECTORY | REPARSE_POINT, 0) => true
//   (DIRECTORY | REPARSE_POINT, 0x9000601A) => false   (DIRECTORY, 0) => false
bool IsLinkEntry(uint32_t attributes, uint32_t reparseTag);

// A file or folder as the system identifies it, whatever its spelling.
struct FileIdentity {
    bool known = false;
    uint32_t volume = 0;
    uint64_t index = 0;
};

// Whether a folder of the chain (a target and the existing folders above
// it) is one of the folders: the same volume and file, however either was
// spelled (a short name such as "_VERSI~1", another letter case, a link).
bool IsWithinByIdentity(const std::vector<FileIdentity>& chain, const std::vector<FileIdentity>& folders);

// ---- The restore's own files

// The temporary name of a file being restored beside its target, for the
// attempt (1, 2, ...): "<name>.brisk-restoring", then "<name>~2.brisk-restoring"
// and so on; the name is shortened (never inside a surrogate pair) so that
// the whole stays within the limit.
//   ("a.txt", 1) => "a.txt.brisk-restoring"   ("a.txt", 3) => "a.txt~3.brisk-restoring"
//   (250 x "x", 1) => 239 x "x" + ".brisk-restoring"
WideString TemporaryNameOf(const WideString& name, int attempt, size_t limit = kNameLimit);

// Whether the name is such a temporary name, whatever its letter case: in a
// target folder, what a restore that was stopped left behind.
//   "x.txt.brisk-restoring" => true   "x.brisk-restoring.txt" => false
bool IsRestoreLeftover(const WideString& name);

// How often an operation on a file just written is tried while the system
// says another program holds it (a virus scanner that opens each new file for
// a moment), and the pause between the tries.
constexpr int kBusyAttempts = 8;
constexpr unsigned kBusyPauseMilliseconds = 250;

// Whether to try again after attempt number attempt (1 for the first)
// failed with the error: only a sharing or lock violation, kBusyAttempts in all.
//   (ERROR_SHARING_VIOLATION, 1) => true   (ERROR_ACCESS_DENIED, 1) => false   (ERROR_SHARING_VIOLATION, 8) => false
bool TriesAgain(unsigned long error, int attempt);

// ---- Room

// A file a restore may write on a drive: its size, and whether its target
// holds something already.
struct RoomItem {
    uint64_t size = 0;
    bool targetThere = false;
};

// The bytes the restore needs on one drive: each file it writes, rounded up
// to that drive's own clusters. A file whose target is taken is written
// only with replace, and then needs its whole room, for the existing file
// stays beside it.
//   ({{1, false}, {5000, true}}, false, 4096) => 4096   (same, true, 4096) => 12288
uint64_t RoomNeeded(const std::vector<RoomItem>& items, bool replace, uint64_t clusterBytes);

// ---- Verdicts

struct RestoreTally {
    uint64_t restored = 0;
    uint64_t restoredBytes = 0;
    uint64_t alreadyThere = 0;
    uint64_t notRestored = 0;     // files named as not restored, for any reason
    uint64_t foldersNotMade = 0;  // empty folders that could not be made
};

// Counts one file's outcome.
void CountRestored(RestoreTally* tally, RestoreOutcome outcome, uint64_t size);

// 0 when every file came back or was there already and every empty folder
// was made, else 1 (2 is a restore refused before it wrote anything).
int RestoreExitStatus(const RestoreTally& tally);

// The restore's last line: "Restore complete: ..." or "Restore INCOMPLETE: ...".
WideString RestoreVerdictLine(const RestoreTally& tally, const WideString& shownTarget, uint64_t seconds);

struct CheckTally {
    uint64_t files = 0;
    uint64_t bytes = 0;
    uint64_t damaged = 0;
    uint64_t notYetRecorded = 0;  // files a run that did not finish changed after the lists
};

// Counts one file read against its line: anything but a match (bytes that
// differ, no line, a line for a file gone, a file that cannot be read) is
// damaged; a file whose line is older than it (NotYetRecorded) is no damage
// and is counted apart.
void CountChecked(CheckTally* tally, RestoreOutcome outcome, uint64_t size);

// 0 when all match, else 1.
int CheckExitStatus(const CheckTally& tally);

// "Checked 3 files (1.0 MB) on E:: all match" or "...: 1 damaged".
WideString CheckVerdictLine(const CheckTally& tally, const WideString& drive);

// The line that names a file /check found damaged; empty for one that matches.
//   (Damaged, "E:\_Backup_\PC01\C\a.txt", "") => "DAMAGED: E:\_Backup_\PC01\C\a.txt (its bytes do not match its checksum)"
WideString CheckedFileLine(RestoreOutcome outcome, const WideString& path, const WideString& problem);

// The line that names a file a restore did not restore, shown by its
// target (or its path below the computer's folder when it has none); empty
// for one restored or there already. computer names the backup for OutsideFolders.
WideString NotRestoredLine(const RestoreResult& result, const WideString& shown, const WideString& computer);

// The reason /list gives for a file the restore would not try (no line,
// gone, no place, outside the backup's folders); empty for any other.
WideString ReasonNotTried(RestoreOutcome outcome, const WideString& computer);

// The line that names an original folder whose drive is missing, with the
// way out: ("D:\Data", 12 files, "D:", restoring) =>
//   "Not restored: D:\Data (12 files): there is no drive D: on this computer; ..."
WideString MissingDriveLine(const WideString& folder, uint64_t files, bool listing);
