#pragma once
// The Windows C runtime's _pclose and system() give the exit code itself; the tests read it
// through the POSIX macros.
#include <process.h>
#include <stdio.h>

#define WIFEXITED(status) ((status) != -1)
#define WEXITSTATUS(status) (status)
#define popen _popen
#define pclose _pclose
