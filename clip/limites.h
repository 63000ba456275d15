#pragma once
// How many frames a clip may have: the Measurement table holds one row per frame under its
// title row, and the player refuses a clip it could not lay out there.
constexpr int imagesMax = (1 << 22) - 1;
