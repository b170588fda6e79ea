#pragma once

// A colour as every document of the suite stores it: {"red", "green", "blue", "alpha"}, each
// component from 0 to 1 in device RGB.

namespace tavrel {

struct CodableColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    friend bool operator==(const CodableColor&, const CodableColor&) = default;
};

constexpr CodableColor rgba(double red, double green, double blue, double alpha) {
    return CodableColor{red, green, blue, alpha};
}

// The platform's named colours, converted to device RGB once and for all so that the defaults
// (and the bytes of a default document) never depend on the machine.
namespace NamedColor {
inline constexpr CodableColor white = rgba(1, 1, 1, 1);
inline constexpr CodableColor black = rgba(0, 0, 0, 1);
inline constexpr CodableColor gray = rgba(0.5, 0.5, 0.5, 1);
inline constexpr CodableColor systemYellow = rgba(1, 0.8, 0, 1);
inline constexpr CodableColor systemGreen = rgba(0.203922, 0.780392, 0.34902, 1);
}  // namespace NamedColor

}  // namespace tavrel
