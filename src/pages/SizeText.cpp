#include "pages/SizeText.h"

std::string FormatSizeText(int64_t kilobytes, const std::string& thousandsSeparator) {
    // Work on the magnitude as unsigned so that the most negative value does not overflow.
    uint64_t magnitude = kilobytes < 0 ? 0 - static_cast<uint64_t>(kilobytes) : static_cast<uint64_t>(kilobytes);
    std::string digits = std::to_string(magnitude);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += thousandsSeparator;
        grouped += digits[i];
    }
    return std::string("~") + (kilobytes < 0 ? "-" : "") + grouped + " KB";
}
