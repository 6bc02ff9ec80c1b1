// The settings of one robocopy run and the batch script generated from them.
//
// A plain value: copying a job copies every field. Setters never fail. The
// generators (command line, scripts, script file name) read the option
// flags through Options(); there is no setter for the script text itself.
#pragma once

#include <cstdint>

#include "script/batch_script.h"
#include "script/command_line.h"
#include "script/copy_settings.h"
#include "text/wide_string.h"

class BackupJob : public CopySettings {
public:
    BackupJob() = default;
    BackupJob(const BackupJob&) = default;
    BackupJob& operator=(const BackupJob&) = default;
    virtual ~BackupJob() = default;

    virtual WideString Source() const { return source_; }
    virtual WideString Destination() const { return destination_; }
    virtual WideString FileSpecs() const { return fileSpecs_; }
    virtual WideString ExtraOptions() const { return extraOptions_; }
    virtual bool LongFinalPause() const { return options_.longFinalPause; }

    virtual bool SetSource(const WideString& text) { return Assign(source_, text); }
    virtual bool SetDestination(const WideString& text) { return Assign(destination_, text); }
    virtual bool SetFileSpecs(const WideString& text) { return Assign(fileSpecs_, text); }
    virtual bool SetExtraOptions(const WideString& text) { return Assign(extraOptions_, text); }
    virtual bool SetLongFinalPause(bool on) { return Assign(options_.longFinalPause, on); }
    virtual bool SetListOnly(bool on) { return Assign(options_.listOnly, on); }
    virtual bool SetSubdirectories(bool on) { return Assign(options_.subdirectories, on); }
    virtual bool SetMirror(bool on) { return Assign(options_.mirror, on); }
    virtual bool SetPurge(bool on) { return Assign(options_.purge, on); }
    virtual bool SetFatTimes(bool on) { return Assign(options_.fatTimes, on); }
    virtual bool SetRetryOption(bool on) { return Assign(options_.retryOption, on); }
    virtual bool SetWaitOption(bool on) { return Assign(options_.waitOption, on); }
    virtual bool SetExcludeOlder(bool on) { return Assign(options_.excludeOlder, on); }
    virtual bool SetExcludeExtra(bool on) { return Assign(options_.excludeExtra, on); }
    virtual bool SetExcludeJunctions(bool on) { return Assign(options_.excludeJunctions, on); }
    virtual bool SetMinSizeOption(bool on) { return Assign(options_.minSizeOption, on); }
    virtual bool SetMaxSizeOption(bool on) { return Assign(options_.maxSizeOption, on); }
    virtual bool SetMaxAgeOption(bool on) { return Assign(options_.maxAgeOption, on); }
    virtual bool SetMinAgeOption(bool on) { return Assign(options_.minAgeOption, on); }
    virtual bool SetExcludeFilesOption(bool on) { return Assign(options_.excludeFilesOption, on); }
    virtual bool SetExcludeDirsOption(bool on) { return Assign(options_.excludeDirsOption, on); }
    virtual bool SetRetryCount(uint16_t count) { return Assign(options_.retryCount, count); }
    virtual bool SetWaitSeconds(uint16_t seconds) { return Assign(options_.waitSeconds, seconds); }
    virtual bool SetMinSize(uint64_t bytes) { return Assign(options_.minSize, bytes); }
    virtual bool SetMaxSize(uint64_t bytes) { return Assign(options_.maxSize, bytes); }
    virtual bool SetMaxAge(uint32_t age) { return Assign(options_.maxAge, age); }
    virtual bool SetMinAge(uint32_t age) { return Assign(options_.minAge, age); }
    virtual bool SetExcludedFiles(const WideString& text) { return Assign(excludedFiles_, text); }
    virtual bool SetExcludedDirs(const WideString& text) { return Assign(excludedDirs_, text); }
    // Appends a blank and the pattern: " *.tmp" on an empty list.
    virtual bool AddExcludedFile(const WideString& pattern);
    virtual bool AddExcludedDir(const WideString& pattern);
    virtual WideString ExcludedFiles() const { return excludedFiles_; }
    virtual WideString ExcludedDirs() const { return excludedDirs_; }
    virtual uint16_t RetryCount() const { return options_.retryCount; }
    virtual uint16_t WaitSeconds() const { return options_.waitSeconds; }
    virtual uint64_t MinSize() const { return options_.minSize; }
    virtual uint64_t MaxSize() const { return options_.maxSize; }
    virtual uint32_t MaxAge() const { return options_.maxAge; }
    virtual uint32_t MinAge() const { return options_.minAge; }

    // What the command line takes from the system (tests give fixed answers).
    virtual CommandLineContext Context() const { return SystemCommandLineContext(); }
    // The robocopy command line for the job's source and destination.
    virtual WideString CommandLine() const;
    // "RC_<source>_<destination>_<option letters>.bat"
    virtual WideString ScriptFileName() const;
    // "robocopy"
    virtual WideString ToolName() const;

private:
    template <typename T>
    static bool Assign(T& field, const T& value) {
        field = value;
        return true;
    }
};

// The job of a backup run; the same as a BackupJob.
class HostFoldersJob : public BackupJob {};
