// Compares our four D3DX math functions with the real d3dx9_43 on many inputs. Prints the largest
// difference found for each, in units in the last place; exits non-zero when any goes past the bound.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>

#include "platform/d3dx.h"
#include "tests/e2e/windows/real_d3dx.h"

namespace {

constexpr int kInputs = 20000;
constexpr double kMaxUlps = 8.0;

struct Tally {
    const char* name;
    double worstUlps = 0.0;
    int passed = 0;
    int failed = 0;
};

// The difference in float steps at the scale of the values the result was computed from, so that
// an entry that cancels to nearly zero is judged against the size of what cancelled.
double UlpsApart(float ours, float real, float scale) {
    if (std::isnan(ours) || std::isnan(real)) {
        return std::isnan(ours) && std::isnan(real) ? 0.0 : INFINITY;
    }
    const float magnitude = std::fmax(std::fmax(std::fabs(ours), std::fabs(real)), scale);
    const double step = std::nextafter(magnitude, INFINITY) - magnitude;
    return std::fabs(static_cast<double>(ours) - static_cast<double>(real)) / step;
}

void Judge(Tally& tally, const float* ours, const float* real, int count, float scale) {
    double worst = 0.0;
    for (int i = 0; i < count; ++i) {
        worst = std::fmax(worst, UlpsApart(ours[i], real[i], scale));
    }
    tally.worstUlps = std::fmax(tally.worstUlps, worst);
    if (worst <= kMaxUlps) {
        ++tally.passed;
        return;
    }
    if (tally.failed++ < 3) {
        std::printf("%s differs by %.1f ulp:\n  ours", tally.name, worst);
        for (int i = 0; i < count; ++i) {
            std::printf(" %.9g", ours[i]);
        }
        std::printf("\n  real");
        for (int i = 0; i < count; ++i) {
            std::printf(" %.9g", real[i]);
        }
        std::printf("\n");
    }
}

float Magnitude(const Vec3& v) {
    return std::fmax(std::fmax(std::fabs(v.x), std::fabs(v.y)), std::fabs(v.z));
}

}  // namespace

int main() {
    std::mt19937 random(20240613);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::uniform_real_distribution<float> exponent(-3.0f, 3.0f);
    auto wide = [&] { return unit(random) * std::pow(10.0f, exponent(random)); };
    auto vector = [&] { return Vec3{wide(), wide(), wide()}; };

    Tally normalize{"D3DXVec3Normalize"};
    Tally lookAt{"D3DXMatrixLookAtLH"};
    Tally perspective{"D3DXMatrixPerspectiveFovLH"};
    Tally translation{"D3DXMatrixTranslation"};

    for (int i = 0; i < kInputs; ++i) {
        const Vec3 v = i == 0 ? Vec3{0, 0, 0} : vector();
        Vec3 ours;
        float real[16];
        D3DXVec3Normalize(&ours, &v);
        RealVec3Normalize(real, &v.x);
        Judge(normalize, &ours.x, real, 3, 0.0f);

        const Vec3 eye = vector();
        const Vec3 at = eye + Vec3{unit(random), unit(random), unit(random)} * 10.0f;
        const Vec3 up{unit(random), 1.0f, unit(random)};
        Matrix4 matrix;
        D3DXMatrixLookAtLH(&matrix, &eye, &at, &up);
        RealMatrixLookAtLH(real, &eye.x, &at.x, &up.x);
        // The translation row is a dot product with the eye: its terms are as large as the eye.
        Judge(lookAt, &matrix.m[0][0], real, 12, 1.0f);
        Judge(lookAt, &matrix.m[3][0], real + 12, 4, std::fmax(1.0f, Magnitude(eye)));
    }

    std::uniform_real_distribution<float> fov(0.05f, 3.0f);
    std::uniform_real_distribution<float> aspect(0.2f, 5.0f);
    std::uniform_real_distribution<float> nearPlane(0.01f, 10.0f);
    std::uniform_real_distribution<float> depth(0.1f, 1000.0f);
    for (int i = 0; i < kInputs; ++i) {
        const float f = fov(random);
        const float a = aspect(random);
        const float zn = nearPlane(random);
        const float zf = zn + depth(random);
        Matrix4 ours;
        float real[16];
        D3DXMatrixPerspectiveFovLH(&ours, f, a, zn, zf);
        RealMatrixPerspectiveFovLH(real, f, a, zn, zf);
        Judge(perspective, &ours.m[0][0], real, 16, 0.0f);

        const Vec3 t = vector();
        D3DXMatrixTranslation(&ours, t.x, t.y, t.z);
        RealMatrixTranslation(real, t.x, t.y, t.z);
        Judge(translation, &ours.m[0][0], real, 16, 0.0f);
    }

    int passed = 0;
    int failed = 0;
    for (const Tally* tally : {&normalize, &lookAt, &perspective, &translation}) {
        std::printf("%-28s worst %.1f ulp over %d comparisons\n", tally->name, tally->worstUlps,
                    tally->passed + tally->failed);
        passed += tally->passed;
        failed += tally->failed;
    }
    std::printf("comparisons: %d agree, %d differ\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
