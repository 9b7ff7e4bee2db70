#pragma once

// What a list from outside (a workbook, a CSV, a text) may hold before it is no list of ours,
// for every reader alike; a list of 56 numbers comes nowhere near.
namespace ListLimits {
inline constexpr int Rows = 10000;
// Cells further right are left out.
inline constexpr int Columns = 64;
// Excel's own limit of a cell's text.
inline constexpr int CellText = 32767;
} // namespace ListLimits
