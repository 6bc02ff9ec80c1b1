// The process argument list: element 0 is the program path as the process
// received it, element 1 the first argument, and so on.
#pragma once

#include "text/wide_string.h"

// The list itself, shared by the whole process. When it is empty it is first
// filled from the runtime library's wide argument vector, if there is one.
StringList& ArgumentList();

// A copy of the list (filled the same way when empty).
StringList ArgumentListCopy();

// Replaces the list by the arguments the entry point received.
void SetArgumentList(int argumentCount, wchar_t** arguments);
