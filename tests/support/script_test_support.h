// A job with a fixed system context for script and command-line tests.
#pragma once

#include "job/backup_job.h"
#include "job/backup_setup.h"
#include "script/command_line.h"

// A job whose command line sees the computer "PC01", the work folder
// C:\users\u1\Temp\Quillon.tmp\ and no mapped network drives.
class FixedContextJob : public BackupJob {
public:
    CommandLineContext Context() const override { return FixedContext(); }

    static CommandLineContext FixedContext() {
        CommandLineContext context;
        context.workFolder = [] { return WideString(L"C:\\users\\u1\\Temp\\Quillon.tmp\\"); };
        context.networkForm = [](const WideString& path) { return path; };
        context.computerName = [] { return WideString(L"PC01"); };
        return context;
    }
};
