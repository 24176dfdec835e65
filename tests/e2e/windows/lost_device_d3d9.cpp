// A d3d9.dll for the tests that watch the program's device, loaded in place of the system's by
// WINEDLLOVERRIDES="d3d9=n,b" from beside a copy of the program. It hands everything to Wine's own
// d3d9, except that on the first device made through it:
// - a loss can be asked for: Present then fails with D3DERR_DEVICELOST, TestCooperativeLevel answers
//   D3DERR_DEVICELOST a number of times and then D3DERR_DEVICENOTRESET, and Reset goes through to
//   Wine, which refuses while any default-pool object is alive (under Wine a windowed device is
//   never lost by itself);
// - frames can be counted: once a file named "escape" exists, each Present is logged with its number
//   and the time since the one before.
//
// VELLMORA_PROXY_DIR: the folder where a file named "lose" asks for a loss (taken at the next
// Present), where "escape" starts the count, and where proxy.log tells the test what happened.
// VELLMORA_LOST_CHECKS: how many times TestCooperativeLevel says lost before it says the device can
// be reset (3 if unset).
#include <d3d9.h>
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Where Wine's vtables keep the methods; the tables are read-only and shared by every object.
constexpr int kCreateDeviceSlot = 16;
constexpr int kTestCooperativeLevelSlot = 3;
constexpr int kResetSlot = 16;
constexpr int kPresentSlot = 17;

using CreateDeviceMethod = HRESULT(STDMETHODCALLTYPE*)(IDirect3D9*, UINT, D3DDEVTYPE, HWND, DWORD,
                                                       D3DPRESENT_PARAMETERS*, IDirect3DDevice9**);
using TestCooperativeLevelMethod = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*);
using ResetMethod = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*, D3DPRESENT_PARAMETERS*);
using PresentMethod = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*, const RECT*, const RECT*, HWND,
                                                  const RGNDATA*);

enum class State { kWorking, kLost, kNotReset };

struct Proxy {
    CreateDeviceMethod createDevice = nullptr;
    TestCooperativeLevelMethod testCooperativeLevel = nullptr;
    ResetMethod reset = nullptr;
    PresentMethod present = nullptr;
    IDirect3DDevice9* device = nullptr;
    std::wstring folder;
    int lostChecks = 3;

    State state = State::kWorking;
    int losses = 0;
    int checks = 0;  // TestCooperativeLevel calls in this loss
    int presentsWhileLost = 0;
    DWORD lastCheck = 0;
    DWORD shortestGap = 0xFFFFFFFFu;  // between two checks, in milliseconds
    DWORD longestGap = 0;

    int presents = 0;
    DWORD lastPresent = 0;
    int presentsAfterMarker = 0;
};

Proxy gProxy;

template <typename Method>
Method Patch(void* object, int slot, Method hook) {
    void** table = *static_cast<void***>(object);
    DWORD protection = 0;
    VirtualProtect(&table[slot], sizeof(void*), PAGE_READWRITE, &protection);
    auto original = reinterpret_cast<Method>(table[slot]);
    table[slot] = reinterpret_cast<void*>(hook);
    VirtualProtect(&table[slot], sizeof(void*), protection, &protection);
    return original;
}

void Log(const char* format, ...) {
    FILE* log = _wfopen((gProxy.folder + L"\\proxy.log").c_str(), L"a");
    if (log == nullptr) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(log, format, args);
    va_end(args);
    std::fclose(log);
}

// Asking whether a file exists costs little beside a frame.
void CountFrame() {
    const DWORD now = GetTickCount();
    ++gProxy.presents;
    if (GetFileAttributesW((gProxy.folder + L"\\escape").c_str()) != INVALID_FILE_ATTRIBUTES) {
        Log("present %d after the marker, frame %d, %lu ms after the one before\n",
            ++gProxy.presentsAfterMarker, gProxy.presents,
            static_cast<unsigned long>(now - gProxy.lastPresent));
    }
    gProxy.lastPresent = now;
}

HRESULT STDMETHODCALLTYPE Present(IDirect3DDevice9* self, const RECT* source, const RECT* destination,
                                  HWND window, const RGNDATA* dirty) {
    if (self != gProxy.device) {
        return gProxy.present(self, source, destination, window, dirty);
    }
    if (gProxy.state == State::kWorking && DeleteFileW((gProxy.folder + L"\\lose").c_str())) {
        gProxy.state = State::kLost;
        gProxy.checks = 0;
        gProxy.presentsWhileLost = 0;
        gProxy.lastCheck = 0;
        gProxy.shortestGap = 0xFFFFFFFFu;
        gProxy.longestGap = 0;
        Log("lost %d\n", ++gProxy.losses);
        return D3DERR_DEVICELOST;
    }
    if (gProxy.state != State::kWorking) {
        ++gProxy.presentsWhileLost;
        return D3DERR_DEVICELOST;
    }
    CountFrame();
    return gProxy.present(self, source, destination, window, dirty);
}

HRESULT STDMETHODCALLTYPE TestCooperativeLevel(IDirect3DDevice9* self) {
    if (self != gProxy.device || gProxy.state == State::kWorking) {
        return gProxy.testCooperativeLevel(self);
    }
    const DWORD now = GetTickCount();
    if (gProxy.checks++ > 0) {
        gProxy.shortestGap = std::min(gProxy.shortestGap, now - gProxy.lastCheck);
        gProxy.longestGap = std::max(gProxy.longestGap, now - gProxy.lastCheck);
    }
    gProxy.lastCheck = now;
    if (gProxy.checks > gProxy.lostChecks) {
        gProxy.state = State::kNotReset;
    }
    return gProxy.state == State::kLost ? D3DERR_DEVICELOST : D3DERR_DEVICENOTRESET;
}

HRESULT STDMETHODCALLTYPE Reset(IDirect3DDevice9* self, D3DPRESENT_PARAMETERS* parameters) {
    if (self != gProxy.device) {
        return gProxy.reset(self, parameters);
    }
    if (gProxy.state == State::kLost) {
        Log("reset while still lost\n");
        return D3DERR_DEVICELOST;
    }
    const HRESULT result = gProxy.reset(self, parameters);
    if (FAILED(result)) {
        Log("reset failed 0x%08lX\n", static_cast<unsigned long>(result));
    } else if (gProxy.state == State::kNotReset) {
        gProxy.state = State::kWorking;
        Log("reset %d after %d checks %lu to %lu ms apart, %d presents while lost\n", gProxy.losses,
            gProxy.checks, static_cast<unsigned long>(gProxy.shortestGap),
            static_cast<unsigned long>(gProxy.longestGap), gProxy.presentsWhileLost);
    }
    return result;
}

HRESULT STDMETHODCALLTYPE CreateDevice(IDirect3D9* self, UINT adapter, D3DDEVTYPE type, HWND window,
                                       DWORD flags, D3DPRESENT_PARAMETERS* parameters,
                                       IDirect3DDevice9** device) {
    const HRESULT result = gProxy.createDevice(self, adapter, type, window, flags, parameters, device);
    if (SUCCEEDED(result) && gProxy.device == nullptr) {
        gProxy.device = *device;
        gProxy.testCooperativeLevel = Patch(*device, kTestCooperativeLevelSlot, &TestCooperativeLevel);
        gProxy.reset = Patch(*device, kResetSlot, &Reset);
        gProxy.present = Patch(*device, kPresentSlot, &Present);
    }
    return result;
}

}  // namespace

extern "C" __declspec(dllexport) IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    HMODULE wine = LoadLibraryW((std::wstring(system) + L"\\d3d9.dll").c_str());
    auto create = reinterpret_cast<IDirect3D9*(WINAPI*)(UINT)>(
        reinterpret_cast<void*>(GetProcAddress(wine, "Direct3DCreate9")));
    if (create == nullptr) {
        return nullptr;
    }
    IDirect3D9* d3d = create(sdkVersion);
    if (d3d != nullptr && gProxy.createDevice == nullptr) {
        if (const wchar_t* folder = _wgetenv(L"VELLMORA_PROXY_DIR")) {
            gProxy.folder = folder;
        }
        if (const wchar_t* checks = _wgetenv(L"VELLMORA_LOST_CHECKS")) {
            gProxy.lostChecks = static_cast<int>(std::wcstol(checks, nullptr, 10));
        }
        gProxy.createDevice = Patch(d3d, kCreateDeviceSlot, &CreateDevice);
        Log("loaded Wine's d3d9 from %ls\n", system);
    }
    return d3d;
}
