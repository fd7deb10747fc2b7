#include "sky/MiniBoat.h"

#include "engine/Trigonom.h"

#include <QPainter>
#include <cmath>

namespace vrn {
namespace {

// The hull in units of L, bow at +y.
constexpr std::array<std::array<double, 2>, 9> kHull {{{0, 0.5}, {0.19, 0.25}, {0.24, 0},
    {0.2, -0.25}, {0.14, -0.5}, {-0.14, -0.5}, {-0.2, -0.25}, {-0.24, 0}, {-0.19, 0.25}}};

} // namespace

QPoint TMiniBoat::Map(double x, double y) const
{
    const double c = CosD(Course);
    const double s = SinD(Course);
    return {static_cast<int>(std::lround(Cx + L * (x * c + y * s))),
        static_cast<int>(std::lround(Cy + L * (x * s - y * c)))};
}

std::array<QPoint, 9> TMiniBoat::Hull() const
{
    std::array<QPoint, 9> points;
    for (std::size_t i = 0; i < kHull.size(); ++i)
        points[i] = Map(kHull[i][0], kHull[i][1]);
    return points;
}

std::array<QPoint, 2> TMiniBoat::Axis() const
{
    return {Map(0, 0.6), Map(0, -0.6)};
}

void TMiniBoat::Draw(QPainter &painter) const
{
    const auto hull = Hull();
    painter.drawPolygon(hull.data(), static_cast<int>(hull.size()));
    if (ShowCenterPoint) {
        const QPoint c(static_cast<int>(std::lround(Cx)), static_cast<int>(std::lround(Cy)));
        painter.drawLine(c + QPoint(-2, 0), c + QPoint(2, 0));
        painter.drawLine(c + QPoint(0, -2), c + QPoint(0, 2));
    }
    if (ShowCenterAxis) {
        const auto axis = Axis();
        painter.drawLine(axis[0], axis[1]);
    }
}

} // namespace vrn
