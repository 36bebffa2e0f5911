#include "charts/demo/demo_tallies.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace quorvela::charts {
namespace {

// Small fixed jitter so neighbouring bars differ the way real tallies do.
int Jitter(int i, int spread) {
    std::uint32_t h = static_cast<std::uint32_t>(i) * 2654435761u;
    h ^= h >> 13;
    return static_cast<int>(h % static_cast<std::uint32_t>(spread));
}

double Peak(double x, double centre, double width, double height) {
    const double d = (x - centre) / width;
    return height * std::exp(-d * d);
}

}  // namespace

PerQuantity<CategoryTable> DemoTallies() {
    PerQuantity<CategoryTable> t;
    const auto bar = [](const std::string& label, int count) { return CategoryCount{label, label, count}; };

    for (int mm = 18; mm <= 200; ++mm) {
        double n = 2 + Peak(mm, 18, 1.5, 420) + Peak(mm, 24, 2, 90) + Peak(mm, 35, 3, 160) + Peak(mm, 50, 2, 240) +
                   Peak(mm, 70, 4, 120) + Peak(mm, 105, 5, 80) + Peak(mm, 135, 6, 60) + Peak(mm, 200, 1.5, 310);
        const int count = static_cast<int>(n) + Jitter(mm, 9) - 3;
        if (count > 0) t[Quantity::FocalLength].push_back(bar(std::to_string(mm), count));
    }

    const char* iso[] = {"100",  "125",  "160",  "200",  "250",  "320",  "400",  "500",  "640", "800",
                         "1000", "1250", "1600", "2000", "2500", "3200", "4000", "5000", "6400"};
    for (int i = 0; i < 19; ++i)
        t[Quantity::Iso].push_back(
            bar(iso[i], static_cast<int>(Peak(i, 0, 3, 1800) + Peak(i, 9, 4, 600)) + 3 + Jitter(i, 40)));

    const char* fnumber[] = {"F1.8",  "F2.0",  "F2.2",  "F2.5",  "F2.8",  "F3.2",  "F3.5", "F4.0",
                             "F4.5",  "F5.0",  "F5.6",  "F6.3",  "F7.1",  "F8.0",  "F9.0", "F10.0",
                             "F11.0", "F13.0", "F14.0", "F16.0", "F18.0", "F20.0", "F22.0"};
    for (int i = 0; i < 23; ++i)
        t[Quantity::Aperture].push_back(
            bar(fnumber[i], static_cast<int>(Peak(i, 4, 3, 700) + Peak(i, 13, 3, 900)) + 2 + Jitter(i, 25)));

    const char* shutter[] = {"30",     "25",     "20",     "15",     "13",     "10",    "8",     "6",
                             "5",      "4",      "3",      "2",      "1",      "1/2",   "1/3",   "1/4",
                             "1/5",    "1/6",    "1/8",    "1/10",   "1/13",   "1/15",  "1/20",  "1/25",
                             "1/30",   "1/40",   "1/50",   "1/60",   "1/80",   "1/100", "1/125", "1/160",
                             "1/200",  "1/250",  "1/320",  "1/400",  "1/500",  "1/640", "1/800", "1/1000",
                             "1/1250", "1/1600", "1/2000", "1/2500", "1/3200", "1/4000"};
    for (int i = 0; i < 46; ++i)
        t[Quantity::Shutter].push_back(
            bar(shutter[i], static_cast<int>(Peak(i, 27, 4, 500) + Peak(i, 36, 3, 300)) + 1 + Jitter(i, 12)));
    return t;
}

}  // namespace quorvela::charts
