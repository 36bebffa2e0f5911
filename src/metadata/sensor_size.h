#pragma once

namespace quorvela::metadata {

class TImageInfo;

// What a photo's own entries say about the size of the sensor that took it, as crop factors
// against 35mm film (its diagonal over the sensor's). 0 means "not known".
struct SensorReading {
    // From sensor data the maker records: Canon's focal-plane rationals, which keep the
    // sensor's width and pixel count even in a resized copy.
    double NoteCrop = 0.0;
    // From the focal-plane resolution and the pixel size; only a factor some camera could
    // have. A resized copy that rewrote its pixel size gives too large a factor here.
    double PlaneCrop = 0.0;
    // The frame's long side over its short side.
    double Aspect = 0.0;
};

// The names the reading looks up (beside the focal-plane entries every reading keeps).
inline constexpr const char* kSensorWidthName = "ExifImageWidth";
inline constexpr const char* kSensorHeightName = "ExifImageLength";

SensorReading ReadSensor(const TImageInfo& exif);

}  // namespace quorvela::metadata
