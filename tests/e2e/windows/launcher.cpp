// Runs a program in the current folder, waits for it and prints its whole 32-bit exit code, which
// a Unix shell running Wine would cut to the low byte. With --no-std-handles the program gets no
// standard handles, as a GUI program started from a Command Prompt has none. --arguments puts TEXT
// on the program's command line after its quoted name, as it is.
// Usage: vellmora_launch PROGRAM [TIMEOUT_MS [--no-std-handles] [--arguments TEXT]]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: vellmora_launch PROGRAM [TIMEOUT_MS [--no-std-handles] [--arguments TEXT]]\n");
        return 2;
    }
    const DWORD timeout = argc > 2 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) : INFINITE;
    std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
    bool stdHandles = true;
    for (int k = 3; k < argc; ++k) {
        if (std::wstring(argv[k]) == L"--no-std-handles") {
            stdHandles = false;
        } else if (std::wstring(argv[k]) == L"--arguments" && k + 1 < argc) {
            commandLine += L" " + std::wstring(argv[++k]);
        }
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    if (stdHandles) {
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::printf("launch failed: error %lu\n", GetLastError());
        return 2;
    }
    if (WaitForSingleObject(process.hProcess, timeout) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        std::printf("timed out\n");
        return 3;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    std::printf("exit code 0x%08lX\n", code);
    std::fflush(stdout);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
