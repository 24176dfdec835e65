#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

#include "platform/port/win32.h"

namespace {

TEST(Console, StandardErrorIsAPipeAFileOrACharacterDeviceAndAClosedOneHasNoHandle) {
    const int saved = dup(2);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    std::FILE* file = std::tmpfile();
    const int null = open("/dev/null", O_WRONLY);
    const std::pair<int, DWORD> cases[] = {
        {pipeEnds[1], FILE_TYPE_PIPE}, {fileno(file), FILE_TYPE_DISK}, {null, FILE_TYPE_CHAR}};
    for (const auto& [descriptor, type] : cases) {
        dup2(descriptor, 2);
        EXPECT_EQ(GetFileType(GetStdHandle(STD_ERROR_HANDLE)), type);
    }
    close(2);
    EXPECT_EQ(GetStdHandle(STD_ERROR_HANDLE), nullptr);
    dup2(saved, 2);
    close(saved);
    close(null);
    std::fclose(file);
    close(pipeEnds[0]);
    close(pipeEnds[1]);

    EXPECT_EQ(GetStdHandle(0x1234), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileType(nullptr), FILE_TYPE_UNKNOWN);
    EXPECT_FALSE(AttachConsole(ATTACH_PARENT_PROCESS)) << "the terminal is stderr already";
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
