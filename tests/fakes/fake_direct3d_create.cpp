// The Direct3D entry point for tests: answers with the recording object the test put in place.
#include "tests/fakes/recording_device.h"

RecordingDirect3D* gFakeDirect3D = nullptr;
UINT gDirect3DCreateVersion = 0;

IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion) {
    gDirect3DCreateVersion = sdkVersion;
    if (gFakeDirect3D != nullptr) {
        gFakeDirect3D->device.Note("Direct3DCreate9(" + std::to_string(sdkVersion) + ")");
    }
    return gFakeDirect3D;
}
