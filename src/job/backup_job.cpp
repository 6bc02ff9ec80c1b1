#include "job/backup_job.h"

#include "config/directory_ops.h"
#include "script/batch_script.h"
#include "script/command_line.h"
#include "text/case_text.h"

bool BackupJob::AddExcludedFile(const WideString& pattern) {
    excludedFiles_ += L" " + pattern;
    return true;
}

bool BackupJob::AddExcludedDir(const WideString& pattern) {
    excludedDirs_ += L" " + pattern;
    return true;
}

WideString BackupJob::CommandLine() const { return BuildCommandLine(*this, Context()); }

WideString BackupJob::ScriptFileName() const { return ScriptFileNameFor(*this); }

WideString BackupJob::ToolName() const { return CopySettings::ToolName(); }
