// The process entry: hands over to WinMain as Windows would, with the command line Windows would
// build from the arguments, and passes on its result's low byte, which is all of an exit status
// Linux keeps (E_FAIL ends as 5).
#include <SDL.h>

#include <string>

#include "platform/platform.h"
#include "platform/port/command_line.h"

int main(int argc, char** argv) {
    std::string commandLine = JoinCommandLine(argc, argv);
    const int result = WinMain(GetModuleHandleW(nullptr), nullptr, commandLine.data(), SW_SHOW);
    SDL_Quit();
    return result & 0xFF;
}
