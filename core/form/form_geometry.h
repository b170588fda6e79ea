#pragma once

// Plain geometry for the form rules. Coordinates are points; which way y grows is up to the
// caller, the rules that use these types are symmetric in y.

namespace tavrel {

struct FormPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const FormPoint&, const FormPoint&) = default;
};

struct FormSize {
    double width = 0;
    double height = 0;
    friend bool operator==(const FormSize&, const FormSize&) = default;
};

struct FormRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double minX() const { return x; }
    double maxX() const { return x + width; }
    double minY() const { return y; }
    double maxY() const { return y + height; }
    double midY() const { return y + height / 2; }
    friend bool operator==(const FormRect&, const FormRect&) = default;
};

}  // namespace tavrel
