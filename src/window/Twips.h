#pragma once
// The windows were designed in twips; on the screen they are logical pixels, 15 twips each.
#include <cstdint>

namespace window {

constexpr int px(int twips) { return twips >= 0 ? (twips + 7) / 15 : -((-twips + 7) / 15); }
constexpr int32_t twips(int pixels) { return pixels * 15; }

} // namespace window
