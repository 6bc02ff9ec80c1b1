// The list of folders to back up.
#pragma once

#include <functional>

#include "config/folder_reasons.h"
#include "text/wide_string.h"

// The folder list from its candidates: a candidate with a name ending in a
// blank or a dot becomes the empty text; every other one is put in its
// canonical form (made absolute against the current folder; one that has
// none is refused with a "Can't back up " line on the error stream), every
// candidate that is not an existing directory becomes the empty text, then duplicates are removed
// (exact comparison, the first stays, so at most one empty entry remains, at
// the place of the first blanked candidate), then every entry is put in its
// network form.
StringList BuildFolderList(StringList candidates, const WideString& currentFolder,
                           const std::function<bool(const WideString&)>& isDirectory,
                           const std::function<WideString(const WideString&)>& networkForm);

// One "Not backed up: <folder> (<reason>)" line for each configured folder
// that is not empty and is not an existing directory (see
// MissingFolderReason), that has no canonical form, or that has a name
// ending in a blank or a dot.
StringList NotBackedUpLines(const StringList& configured, const WideString& currentFolder,
                            const FolderProbe& probe);

// The host application's folders, the development folder and the public and
// user standard folders, as a folder list. With notBackedUp, also the lines
// for the host application's values and the standard folders that will not
// be backed up (the development folder is left out: it exists on
// developers' machines only).
StringList CollectBackupFolders(StringList* notBackedUp = nullptr);
