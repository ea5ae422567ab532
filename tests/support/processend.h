#pragma once
// How a test program ends once its tests have run and its application object is gone.
// The sound server's client library can abort while Qt Multimedia closes its connection
// during process exit, a race inside that teardown after every object of ours is gone,
// which turns a passing run into a crash. So the program ends without the libraries'
// exit-time teardown; in address-sanitizer builds it first runs the leak check that
// would otherwise run from there. Thread-sanitizer builds end normally: their exit
// status carries the race reports.

#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

inline int endTestProgram(int code)
{
#if defined(__SANITIZE_THREAD__)
    return code;
#else
#if defined(__SANITIZE_ADDRESS__)
    if (__lsan_do_recoverable_leak_check() != 0 && code == 0)
        code = 23; // the leak checker's own exit status
#endif
    std::fflush(nullptr);
    std::_Exit(code);
#endif
}
