#pragma once

// TMiniBoat, the small boat glyph of the boat course dialog and the star finder: a closed
// nine-point hull of length L around a centre, rotated to a course, with an optional centre
// cross and centre axis. Screen y grows downwards, so course 0 points up.

#include <QPoint>
#include <array>

class QPainter;

namespace vrn {

class TMiniBoat
{
public:
    double Cx = 0; // centre, pixels
    double Cy = 0;
    double L = 10; // length, pixels
    double Course = 0; // degrees true, clockwise from up
    bool ShowCenterPoint = false; // a small cross at the centre
    bool ShowCenterAxis = false; // the keel line, bow to stern and a little beyond

    // The hull, bow first, rounded to whole pixels.
    std::array<QPoint, 9> Hull() const;
    // The ends of the centre axis, (0, 0.6) and (0, -0.6) in units of L.
    std::array<QPoint, 2> Axis() const;

    // Draws with the painter's pen and brush.
    void Draw(QPainter &painter) const;

private:
    QPoint Map(double x, double y) const;
};

} // namespace vrn
