#pragma once

#include <array>

namespace vorna {

// What each option of the chart window draws: its caption's catalogue entry, the browser grid
// column it reads, and the Y-axis title (a catalogue entry and a unit suffix).
struct ChartOption {
    int captionEntry;
    int column;
    int titleEntry;
    const char* titleSuffix;
};

inline constexpr std::array<ChartOption, 21> kChartOptions = {{
    {55, 3, 102, " [W/m2]"},  {56, 4, 123, " [\u00b0C]"}, {57, 5, 124, " [\u00b0C]"},
    {59, 7, 113, " [kW]"},    {60, 8, 125, " #1 [V]"},    {61, 9, 126, " #1 [A]"},
    {62, 10, 125, " #2 [V]"}, {63, 11, 126, " #2 [A]"},   {64, 12, 125, " #3 [V]"},
    {65, 13, 126, " #3 [A]"}, {66, 14, 114, " [kW]"},     {67, 15, 121, " #1 [V]"},
    {68, 16, 122, " #1 [A]"}, {69, 17, 121, " #2 [V]"},   {70, 18, 122, " #2 [A]"},
    {71, 19, 121, " #3 [V]"}, {72, 20, 122, " #3 [A]"},   {73, 21, 115, " [kW]"},
    {207, 22, 207, ""},       {219, 24, 116, ""},         {220, 25, 117, ""},
}};

} // namespace vorna
