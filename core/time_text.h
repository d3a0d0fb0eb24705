#pragma once

#include <string>
#include <string_view>

// Time shown to the user as minutes, seconds and hundredths: "01:15.46".
// Minutes have at least two digits and no upper limit.
std::string FormatTime(double Seconds);
// As FormatTime, with "+" before positive values (offsets).
std::string FormatSignedTime(double Seconds);

// Reads "mm:ss.fff" text typed by the user; Default when there is no digit.
double ParseTime(std::string_view Text, double Default);
