#pragma once

namespace quorvel {

// The positions of the three slide switches, top to bottom.
enum class PowerPosition { off, on };
enum class PrintModePosition { man, all, norm };
enum class AnglePosition { deg, grd, rad };

}  // namespace quorvel
