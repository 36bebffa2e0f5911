#pragma once

#include <cstdint>
#include <vector>

namespace quorvela::metadata {

// The IPTC records of a file's first APP13 segment.
class TIPTCdata {
public:
    TIPTCdata() = default;
    explicit TIPTCdata(const std::vector<std::uint8_t>& segment) : segment_(segment) {}

private:
    std::vector<std::uint8_t> segment_;
};

}  // namespace quorvela::metadata
