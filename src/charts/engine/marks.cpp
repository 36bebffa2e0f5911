#include "charts/engine/marks.h"

namespace quorvela::charts {

std::string JoinPercentTotal(std::string_view format, std::string_view first, std::string_view second) {
    std::string out;
    int used = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && used < 2) {
            out += used++ == 0 ? first : second;
            ++i;
        } else {
            out.push_back(format[i]);
        }
    }
    return out;
}

std::string MarkText(MarkStyle style, double value, double total, std::string_view label, const MarkFormats& formats) {
    const auto percent = [&] {
        const double share = total != 0 ? value * 100.0 / total : 0.0;
        return FormatFloat(formats.PercentFormat, share, formats.Separators);
    };
    const auto percentTotal = [&] {
        return JoinPercentTotal(kPercentTotalFormat, percent(),
                                FormatFloat(formats.ValueFormat, total, formats.Separators));
    };
    switch (style) {
        case MarkStyle::Value:
            return FormatFloat(formats.ValueFormat, value, formats.Separators);
        case MarkStyle::Percent:
            return percent();
        case MarkStyle::Label:
            return std::string(label);
        case MarkStyle::PercentTotal:
            return percentTotal();
        case MarkStyle::LabelPercentTotal:
            return std::string(label) + " " + percentTotal();
    }
    return {};
}

}  // namespace quorvela::charts
