// Directory and file primitives used by the whole program.
#pragma once

#include "text/wide_string.h"

// Whether the path is an existing directory. One trailing separator is
// ignored and slashes count as backslashes. A drive root ("C:\") is not
// reported as a directory; a network path ("\\srv\share\x") must name a
// directory too, not a file.
bool DirectoryExists(const WideString& path);

// Whether anything exists at the path, file or directory. One trailing
// separator is ignored and slashes count as backslashes; a network path is
// tested for existence only.
bool EntryExists(const WideString& path);

// Creates the directory and every missing parent; true when it exists
// afterwards. Never tries to create a drive ("C:"), a server ("\\srv") or a
// share ("\\srv\share"). On failure writes "Can't create " and the folder
// that could not be made to the error stream; folders made so far stay.
bool CreateDirectoryTree(const WideString& path);

// The same for a canonical path read in its long form (past 260
// characters), saying nothing: true when the folder is there afterwards
// (or something of its name is); on false GetLastError says why.
bool MakeFolderTree(const WideString& folder);

// Copies one file, creating the target's folder chain first. False for a
// missing source, for an existing target when noReplace is set (the target
// is left untouched), for a target folder that cannot be made, or when the
// copy itself fails. An existing target is replaced when noReplace is false.
bool CopyFileGuarded(const WideString& source, const WideString& target, bool noReplace);

// Why a file cannot be written in the folder (made first, with its parents,
// when missing), in the system's words; empty when a probe file could be
// created and written there. The probe file is gone afterwards.
WideString WriteProblemOf(const WideString& folder);
