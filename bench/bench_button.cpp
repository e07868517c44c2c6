// Times one paint of each painted-button face at 121 x 33 pixels, the size of the main window's
// larger buttons, beside a plain fill of an image of the same size, and checks every face
// against the 100 microseconds a paint may take. Each face is timed again on a screen of device
// pixel ratio 2, where it may take up to 4 times as long as at ratio 1.
//
// Usage: flaskbook_bench_button [--rounds 2000]

#include "controls/button/caption.h"
#include "controls/button/faces.h"
#include "controls/button/surface.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr double targetMicroseconds = 100;
constexpr double targetRatio2Factor = 4;

// The median of `rounds` timings of `work`, in microseconds.
double medianMicroseconds(int rounds, const std::function<void()>& work)
{
    std::vector<double> times;
    times.reserve(rounds);
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
    return times[rounds / 2];
}

ButtonFace faceOfType(int type, QSize size)
{
    ButtonFace face;
    ButtonSettings& settings = face.settings;
    settings.ButtonType = type;
    settings.ColorScheme = 3;
    settings.SpecialEffect = 1;
    settings.Caption = QStringLiteral("&Next");
    settings.Font = QFont(QStringLiteral("Arial"));
    settings.Font.setPointSizeF(9.75);
    face.colours = BuildPalette(settings);
    face.focused = true;
    face.client = size;
    QImage device(1, 1, QImage::Format_RGB32);
    face.layout = LayoutContent(settings, size, {}, &device);
    face.focusBox = FocusBoxOf(type, size.width(), size.height());
    face.background = QImage(size, QImage::Format_RGB32);
    face.background.fill(Qt::darkCyan);
    return face;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    int rounds = 2000;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::max(1, std::atoi(argv[i + 1]));

    const QSize size(121, 33);
    const double plain = medianMicroseconds(rounds, [size] {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::lightGray);
    });
    std::printf("plain fill of %dx%d: %.1f us\n", size.width(), size.height(), plain);
    std::printf("%-6s %-6s %9s %8s %8s %11s %8s %8s\n", "type", "look", "face us", "x fill",
                "target", "ratio 2 us", "x ratio1", "target");
    bool allMet = true;
    for (int type = 1; type <= 14; ++type) {
        for (const int state : {0, 2}) {
            ButtonFace face = faceOfType(type, size);
            face.state = state;
            const auto timeAt = [&face, size, rounds](qreal ratio) {
                return medianMicroseconds(rounds, [&face, size, ratio] {
                    QImage image(qRound(size.width() * ratio), qRound(size.height() * ratio),
                                 QImage::Format_RGB32);
                    image.setDevicePixelRatio(ratio);
                    PaintSurface surface(image);
                    PaintFace(surface, face);
                });
            };
            const double time = timeAt(1), time2 = timeAt(2);
            const bool met = time < targetMicroseconds;
            const bool met2 = time2 < targetRatio2Factor * time;
            allMet = allMet && met && met2;
            std::printf("%-6d %-6s %9.1f %8.1f %8s %11.1f %8.2f %8s\n", type,
                        state == 0 ? "up" : "down", time, time / plain, met ? "ok" : "MISSED",
                        time2, time2 / time, met2 ? "ok" : "MISSED");
        }
    }
    return allMet ? 0 : 1;
}
