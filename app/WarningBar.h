#pragma once
// The warning bar of the document list (column "Warnung"): the profit as a share of the net value,
// green for a profit, red for a loss, light grey for none. Pure geometry; the list's delegate paints
// it (app/widgets/ProfitList.h).
#include <optional>

namespace gs {

inline constexpr unsigned WarningBarLossColor = 255u;          // red (0x00BBGGRR)
inline constexpr unsigned WarningBarProfitColor = 65280u;      // green
inline constexpr unsigned WarningBarNoProfitColor = 14739951u; // 0xE0E9EF, light grey

struct WarningBarGeometry {
    unsigned color = WarningBarNoProfitColor; // 0x00BBGGRR
    int length = 0;                           // pixels from the cell's left edge, within 0..width
    friend bool operator==(const WarningBarGeometry&, const WarningBarGeometry&) = default;
};

// profit = GEWINN_INT, net = WW_NETTO_INT of the row (an empty field counts as 0), width = cell
// width. The colour follows the profit's sign. The length is |profit| * width / net rounded to the
// nearest whole number, halves to even, when the profit is not 0 and the net is above 0; otherwise
// the whole cell. A bar longer than the cell is clipped to it.
WarningBarGeometry ComputeWarningBar(std::optional<int> profit, std::optional<int> net, int width);

} // namespace gs
