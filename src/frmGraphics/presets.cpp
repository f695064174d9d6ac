#include "frmGraphics/presets.h"

namespace effect {

namespace {

void SetRanges(EffectParameters& p, std::int16_t x, std::int16_t y) {
    p.intRangeX = x;
    p.intRangeY = y;
}

void SetBiases(EffectParameters& p, std::int16_t x, std::int16_t y) {
    p.intBiasX = x;
    p.intBiasY = y;
}

void SetBlock(EffectParameters& p, std::int16_t width, std::int16_t height) {
    p.intBlockWidth = width;
    p.intBlockHeight = height;
}

}  // namespace

void ApplyPreset(std::int16_t ef, EffectParameters& p) {
    SetBiases(p, 1, 1);
    SetBlock(p, 128, 128);

    switch (ef) {
        case 0:
            SetRanges(p, 2, 2);
            break;
        case 1:
            SetRanges(p, 20, 20);
            break;
        case 2:
            SetRanges(p, 9, 9);
            break;
        case 3:
            SetRanges(p, 0, 0);
            break;
        case 4:
            SetRanges(p, 3, 3);
            break;
        case 5:
            SetRanges(p, 5, 5);
            break;
        case 6:
            SetRanges(p, 10000, 10000);
            break;
        case 7:
            SetRanges(p, 1000, 1000);
            break;
        case 8:
            SetRanges(p, 10, 2);
            break;
        case 9:
            SetRanges(p, 2, 10);
            break;
        case 10:
            // Only the lean changes: the ranges stay as a previous preset left them.
            SetBiases(p, 10, 10);
            break;
        case 11:
            SetRanges(p, 20, 10);
            SetBiases(p, 10, 10);
            break;
        case 12:
            SetRanges(p, 2, 2);
            SetBiases(p, -100, 2);
            break;
        case 13:
            SetRanges(p, 2, 2);
            SetBlock(p, 100, 10);
            break;
        case 14:
            SetRanges(p, 10, 8);
            SetBlock(p, 100, 10);
            break;
        case 15:
            SetRanges(p, 50, 10);
            SetBiases(p, 80, 10);
            SetBlock(p, 1, 25);
            break;
        case 16:
            SetRanges(p, 2, 10);
            SetBiases(p, 5, 10);
            SetBlock(p, 12, 1);
            break;
        case 17:
            SetRanges(p, 1, 1);
            SetBiases(p, -2, 10);
            SetBlock(p, 1, 1);
            break;
        case 18:
            SetRanges(p, 5, 5);
            SetBiases(p, -2, 10);
            SetBlock(p, 8, 4);
            break;
        case 19:
            SetRanges(p, 2, 10);
            SetBiases(p, -2, 10);
            SetBlock(p, 200, 4);
            break;
        case 20:
            SetRanges(p, 30, 30);
            SetBiases(p, 10, 10);
            SetBlock(p, 10, 10);
            break;
        case 21:
            SetRanges(p, 25, 25);
            SetBiases(p, 250, 25);
            SetBlock(p, 25, 255);
            break;
        default:
            break;
    }
}

}  // namespace effect
