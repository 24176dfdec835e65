// The process entry: hands over to WinMain as Windows would, and passes on its result's low byte,
// which is all of an exit status Linux keeps (E_FAIL ends as 5).
#include <SDL.h>

#include "platform/platform.h"

int main() {
    char commandLine[] = "";
    const int result = WinMain(GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOW);
    SDL_Quit();
    return result & 0xFF;
}
