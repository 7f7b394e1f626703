// What differs for the tests between the systems they run on. The test
// programs also run under Windows (cross-built, under Wine in CI); tests
// that need what only Linux offers (qpdf, pdftotext, python3 or ImageMagick
// run from inside the test, POSIX permissions and special files,
// fontconfig's matching, locales from the environment) skip themselves
// there with ZAVOR_SKIP_ON_WINDOWS. The CI checks the PDFs they write on
// Windows from outside, natively.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <sys/wait.h>
#endif

namespace ZavorTest {

// Windows is the system whose paths separate with a backslash.
inline constexpr bool kRunningOnWindows = std::filesystem::path::preferred_separator == L'\\';

// The exit code in a status that std::system returned; -1 when the command
// did not end by itself. Windows returns the exit code as it is.
inline int SystemExitCode(int status) {
#if defined(_WIN32)
    return status;
#else
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

// Makes a named pipe (a file a save must refuse to replace); false where
// the system has none in its file system.
inline bool MakeFifo(const std::filesystem::path &path) {
#if defined(_WIN32)
    (void)path;
    return false;
#else
    return mkfifo(path.c_str(), 0644) == 0;
#endif
}

}  // namespace ZavorTest

// At the start of a test body: skips the test on Windows, saying why.
#define ZAVOR_SKIP_ON_WINDOWS(reason)                                                     \
    do {                                                                                  \
        if (::ZavorTest::kRunningOnWindows) GTEST_SKIP() << "Linux only: " << (reason); \
    } while (false)
