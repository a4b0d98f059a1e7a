#pragma once
// The selection page's space column: "~" + the size in whole kilobytes with thousands separators
// + " KB" (for example ~2,500 KB).
#include <cstdint>
#include <string>

std::string FormatSizeText(int64_t kilobytes, const std::string& thousandsSeparator);
