// The checksum lines of one run: the book of the computer's backup (see
// checksum_book.h) and the lines of the files moved into the run's version
// set. The checks tell it what they read; it decides where each line goes
// when a file moves: along into the set, back into the book when the file
// goes back, or nowhere when the line no longer describes the file's bytes.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "plan/versions.h"
#include "text/wide_string.h"
#include "verify/checksum_book.h"

class BackupLists {
public:
    // Reads the lists of the computer's folder (an empty book when there are
    // none or they cannot be read).
    explicit BackupLists(const WideString& computerFolder);
    // Whether the lists were read to their end (or are not there yet): lists
    // that could not be are never saved over.
    bool ReadWhole() const { return readWhole_; }

    ChecksumBook& Book() { return book_; }
    const ChecksumBook& Book() const { return book_; }
    // A file's path below the computer's folder, "C\KORV\a.txt", for a path
    // below one of its backups; empty for a path elsewhere (a share's backup).
    WideString RecordPathOf(const WideString& path) const;

    // A copy read back and found to hold these bytes: its line, read this run.
    void Record(const WideString& recordPath, uint64_t size, int64_t lastWrite, const Digest& digest);
    // A recorded file read back as its line says: read this run.
    void Checked(const ChecksumRecord& record);

    // A recorded file whose bytes no longer match its line (read twice).
    // Moved into the set it takes no line there; should it go back into the
    // backup, the book keeps its old line, so that it is read again.
    void Suspect(const ChecksumRecord& recorded);
    bool IsSuspect(const WideString& recordPath) const;
    // The suspect is decided (replaced, or kept in the set): no longer one.
    void Settle(const WideString& recordPath);
    // A copy read against its source with other bytes under the same size
    // and time: its line leaves the book; moved into the set it takes the
    // line of the bytes it has.
    void Differs(const ChecksumRecord& actual);

    // The line a backup file takes into the set (relative: its path below
    // the set folder): a suspect's line as recorded (its bytes are not those
    // of its line, and a restore says so), a differing copy's own bytes, the
    // book's line when it records the file as it is, else the line of its
    // bytes read from the stick now. False, with the system's reason, when
    // those cannot be read.
    bool LineOfKept(const VersionMove& move, const WideString& relative, ChecksumRecord* line, WideString* problem);
    // The backup files just moved into the version set take their lines
    // there (lines[i] for moves[i]); their lines leave the book. Returns the
    // moves of the files whose bytes differed from their sources (kept as
    // earlier versions because of that).
    std::vector<VersionMove> MovedIntoSet(const std::vector<VersionMove>& moves,
                                          const std::vector<ChecksumRecord>& lines);
    // Where a file moved into the set this run was put (its latest move);
    // empty when it was not moved.
    WideString KeptAt(const WideString& recordPath) const;
    // Once a folder's kept files are back or stay: those in the set keep
    // their lines there, those back in the backup get theirs back in the book.
    void SettleMoved();
    // The folder's backup (its path below the computer's folder) was walked
    // after its copy: the lines of files no longer in it go when the lists
    // are saved.
    void FolderChecked(const WideString& place);

    // After a folder's copy: the recorded files below its place (a path
    // below the computer's folder) that its backup no longer holds as
    // recorded, though the run neither kept nor saw them: removed or
    // replaced after the plan, their earlier versions not kept.
    StringList GoneUnkeptBelow(const WideString& place) const;

    // The room the lists take, for a folder's fit check.
    uint64_t Need(uint64_t newFiles, uint64_t clusterBytes) const;
    // What could not be written, as the system said it.
    struct SaveProblem {
        WideString list;
        WideString reason;
    };
    // Writes the set's list of the files that stay in it, so that it is
    // true as the run goes; empty when it was written, else why not.
    std::vector<SaveProblem> SaveSetList(const WideString& setFolder);
    // Writes the book's lists, noting the run record they hold (0 when the
    // run made none), and the set's list.
    std::vector<SaveProblem> Save(const WideString& setFolder, uint64_t recordedRun);

private:
    // A file moved into the set, with its line there, and the line the book
    // gets back should the file be put back.
    struct Moved {
        WideString setPath;
        ChecksumRecord setRecord;
        bool hasSetRecord = false;
        bool hasBookRecord = false;
        ChecksumRecord bookRecord;
    };

    WideString computerFolder_;
    bool readWhole_ = true;
    Digest checksumListRead_{};  // of the checksum list as loaded
    ChecksumBook book_;
    StringList checkedPlaces_;
    std::vector<Moved> moved_;
    std::vector<ChecksumRecord> setRecords_;
    // Lower-cased record paths => their old line (suspects), the bytes they
    // have (differing copies), the set path of their latest move.
    std::unordered_map<WideString, ChecksumRecord> suspects_;
    std::unordered_map<WideString, ChecksumRecord> differing_;
    std::unordered_map<WideString, WideString> keptAt_;
};
