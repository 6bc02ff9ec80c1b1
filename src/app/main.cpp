#include "app/program_entry.h"

int wmain(int argc, wchar_t** argv) { return RunProgram(argc, argv); }
