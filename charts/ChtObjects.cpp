#include "charts/ChtObjects.h"

#include "charts/ChartPaths.h"
#include "engine/DateTime.h"
#include "engine/NumText.h"
#include "engine/TextCodec.h"
#include "engine/Trigonom.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vrn {

namespace {

int Limited(int v)
{
    return std::abs(v) < kScreenLimit ? v : (v < 0 ? -kScreenLimit : kScreenLimit);
}

TScreenPoint LimitedScreenPoint(const TChartSurface &chart, double latDeg, double lonDeg)
{
    const TScreenPoint p = chart.World2Screen(latDeg, lonDeg);
    return {Limited(p.X), Limited(p.Y)};
}

} // namespace

int PixelDistance(int x1, int y1, int x2, int y2)
{
    const long long d = std::llabs((long long)x1 - x2) + std::llabs((long long)y1 - y2);
    return static_cast<int>(std::min<long long>(d, INT_MAX));
}

std::string FormatChartNumber(double value)
{
    return FormatFixed(value, 5, 10);
}

std::string FormatChartColor(TColor colour)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string s = "$";
    for (int shift = 28; shift >= 0; shift -= 4)
        s += kDigits[(colour >> shift) & 15];
    return s;
}

std::optional<TColor> ParseChartColor(std::string_view text)
{
    const std::string_view t = Trim(text);
    if (!t.empty() && t.front() == '$') {
        const std::string_view hex = t.substr(1);
        if (hex.empty() || hex.size() > 8)
            return std::nullopt;
        TColor v = 0;
        for (const char c : hex) {
            int d = 0;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                return std::nullopt;
            v = (v << 4) | static_cast<TColor>(d);
        }
        return v;
    }
    const auto v = ParseInteger(t);
    if (!v || *v < INT32_MIN || *v > INT32_MAX)
        return std::nullopt;
    return static_cast<TColor>(static_cast<std::int32_t>(*v));
}

std::string ChartFieldText(std::string_view text)
{
    std::string s(text);
    for (char &c : s) {
        if (c == ';')
            c = ',';
        else if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
    }
    return s;
}

std::string LowerAscii(std::string_view text)
{
    std::string s(text);
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// ---- Object lists ---------------------------------------------------------------------------

void TObjectsBox::Add(const TChtObject &obj)
{
    Add(obj.LatMin, obj.LatMax, obj.LonMin, obj.LonMax);
}

void TObjectsBox::Add(double latMin, double latMax, double lonMin, double lonMax)
{
    if (latMin > latMax || lonMin > lonMax)
        return;
    FLatMin = std::min(FLatMin, latMin);
    FLatMax = std::max(FLatMax, latMax);
    FLonMin = std::min(FLonMin, lonMin);
    FLonMax = std::max(FLonMax, lonMax);
}

std::optional<TObjectsView> TObjectsBox::View(double aspect) const
{
    if (FLatMin > FLatMax || FLonMin > FLonMax)
        return std::nullopt;
    TObjectsView v;
    v.LatC = std::clamp((FLatMin + FLatMax) / 2, -89.0, 89.0);
    v.LonC = (FLonMin + FLonMax) / 2;
    // The latitude span shown is cos(LatC) * LonSpan / aspect.
    const double byLat = (FLatMax - FLatMin) / std::max(CosD(v.LatC), 0.01) * aspect;
    v.LonSpan = std::clamp(std::max(FLonMax - FLonMin, byLat) * 1.05, 0.05, 360.0);
    return v;
}

std::optional<TObjectsView> ViewOfObjects(const TObjList &objects, double aspect)
{
    TObjectsBox box;
    for (const auto &obj : objects)
        box.Add(*obj);
    return box.View(aspect);
}

std::size_t PointCountOf(const TObjList &objects)
{
    std::size_t n = 0;
    for (const auto &obj : objects)
        if (const auto *p = dynamic_cast<const TChtPoliPoints *>(obj.get()))
            n += p->PointCount();
    return n;
}

void ApplyDefaultColors(
    const TObjList &objects, std::optional<TColor> landColor, std::optional<TColor> shoreColor)
{
    for (const auto &obj : objects) {
        auto *polygon = dynamic_cast<TChtPolygon *>(obj.get());
        if (!polygon || !polygon->DefaultColors)
            continue;
        if (landColor)
            polygon->BGColor = *landColor;
        if (shoreColor)
            polygon->Color = *shoreColor;
    }
}

// ---- TChtPoint -----------------------------------------------------------------------------

std::string TChtPoint::AsLine() const
{
    return "P;" + FormatChartNumber(Lat) + ";" + FormatChartNumber(Lon) + ";"
        + ChartFieldText(Name);
}

std::string TChtPoint::AsTrackLine() const
{
    // A time of 0 is no time: the field stays empty and reads back as 0.
    const std::string when =
        Time != 0 && IsValidDateTime(Time) ? FileDateTimeText(Time) : std::string();
    return AsLine() + ";" + when;
}

void TChtPoint::CalcScreen(const TChartSurface &chart)
{
    const TScreenPoint p = LimitedScreenPoint(chart, Lat, Lon);
    X = p.X;
    Y = p.Y;
}

int TChtPoint::Distance(int x, int y) const
{
    return PixelDistance(x, y, X, Y);
}

// ---- TChtObject ----------------------------------------------------------------------------

TChtObject::~TChtObject() = default;

void TChtObject::SetAttribute(std::string_view, std::string_view) { }

void TChtObject::WriteAttributes(std::vector<std::string> &) const { }

int TChtObject::Distance(int, int) const
{
    return INT_MAX;
}

void TChtObject::Draw(TChartSurface &, bool) { }

void TChtObject::DrawName(TChartSurface &chart)
{
    const TScreenPoint p = chart.World2Screen(LatMin, LonMax);
    chart.DrawText(p.X, p.Y, Name);
}

bool TChtObject::IsVisible(const TChartSurface &chart) const
{
    const TEscalaCarta &e = chart.Escala;
    return e.LonMin <= LonMax && e.LonMax >= LonMin && e.LatMin <= LatMax && e.LatMax >= LatMin;
}

void TChtObject::AddPoint(std::string_view, double latDeg, double lonDeg, double)
{
    ExpandBounds(latDeg, lonDeg);
}

void TChtObject::WriteLines(std::vector<std::string> &lines) const
{
    const std::string header = HeaderLine();
    if (header.empty())
        return;
    lines.push_back(header);
    WriteAttributes(lines);
    WritePointLines(lines);
    lines.emplace_back();
}

void TChtObject::ExpandBounds(double latDeg, double lonDeg)
{
    LatMin = std::min(LatMin, latDeg);
    LonMin = std::min(LonMin, lonDeg);
    LatMax = std::max(LatMax, latDeg);
    LonMax = std::max(LonMax, lonDeg);
}

void TChtObject::ParseAttribute(std::string_view text)
{
    const auto eq = text.find('=');
    if (eq == std::string_view::npos)
        return;
    const std::string key = LowerAscii(Utf8Left(text.substr(0, eq), 100));
    SetAttribute(key, Utf8Left(text.substr(eq + 1), 100));
}

// ---- TChtURLObject -------------------------------------------------------------------------

TChtURLObject::TChtURLObject(std::string_view url, std::string_view bitmapName,
    std::string_view name, double sizeDeg, double latDeg, double lonDeg)
    : Lat(latDeg)
    , Lon(lonDeg)
    , Size(sizeDeg)
    , URL(url)
    , BitmapName(bitmapName)
{
    Name = std::string(name);
    LatMin = latDeg - sizeDeg / 2;
    LatMax = latDeg + sizeDeg / 2;
    LonMin = lonDeg - sizeDeg / 2;
    LonMax = lonDeg + sizeDeg / 2;
}

int TChtURLObject::Distance(int x, int y) const
{
    return PixelDistance(x, y, X, Y);
}

std::string TChtURLObject::HeaderLine() const
{
    std::string url = URL;
    for (std::size_t i = 0; (i = url.find(';', i)) != std::string::npos;)
        url.replace(i, 1, "%3B");
    return "O;URL;" + ChartFieldText(Name) + ";" + FormatChartNumber(Lat) + ";"
        + FormatChartNumber(Lon) + ";" + FormatChartNumber(Size) + ";" + ChartFieldText(url) + ";"
        + ChartFieldText(BitmapName);
}

void TChtURLObject::Draw(TChartSurface &chart, bool recompute)
{
    if (!IsVisible(chart))
        return;
    if (recompute) {
        const TScreenPoint p = LimitedScreenPoint(chart, Lat, Lon);
        X = p.X;
        Y = p.Y;
    }
    chart.DrawIcon(
        BitmapName.empty() ? std::string_view("HAND") : std::string_view(BitmapName), X, Y);
}

// ---- TMarcadorDePosicao --------------------------------------------------------------------

TMarcadorDePosicao::TMarcadorDePosicao(TChartSurface *chart)
    : Chart(chart)
{ }

void TMarcadorDePosicao::SetPosition(double latDeg, double lonDeg)
{
    if (latDeg == Lat && lonDeg == Lon)
        return;
    Lat = latDeg;
    Lon = lonDeg;
    LatMin = LatMax = latDeg;
    LonMin = LonMax = lonDeg;
    if (Chart)
        Draw(*Chart, true);
}

void TMarcadorDePosicao::SetCourse(double courseDeg)
{
    if (courseDeg == Course)
        return;
    Course = courseDeg;
    if (Chart)
        Draw(*Chart, true);
}

void TMarcadorDePosicao::SetShowCourse(bool flag)
{
    if (flag == ShowCourse)
        return;
    ShowCourse = flag;
    if (Chart)
        Draw(*Chart, true);
}

void TMarcadorDePosicao::SetShape(int shape)
{
    if (shape == Shape)
        return;
    Shape = shape;
    if (Chart)
        Draw(*Chart, true);
}

void TMarcadorDePosicao::SetVisible(bool flag)
{
    if (flag == Visible)
        return;
    Visible = flag;
    if (!Chart)
        return;
    if (Visible) {
        Draw(*Chart, true);
    } else if (!Background.IsEmpty()) {
        Chart->DrawBitmap(SavedLeft, SavedTop, Background);
        ForgetBackground();
    }
}

int TMarcadorDePosicao::Distance(int x, int y) const
{
    return PixelDistance(x, y, X, Y);
}

TMarcadorDePosicao::TRect TMarcadorDePosicao::SavedRect() const
{
    if (!Visible || Background.IsEmpty())
        return {};
    return {SavedLeft, SavedTop, SavedLeft + Background.Width(), SavedTop + Background.Height()};
}

std::vector<TScreenPoint> TMarcadorDePosicao::ShapePoints() const
{
    struct TUV
    {
        double U, V;
    };

    static constexpr TUV kHull[] = {{0, 0.5}, {0.19, 0.25}, {0.24, 0}, {0.2, -0.25}, {0.14, -0.5},
        {-0.14, -0.5}, {-0.2, -0.25}, {-0.24, 0}, {-0.19, 0.25}};
    static constexpr TUV kArrow[] = {
        {0, 0.5}, {0.3, 0.3}, {0.13, 0.3}, {0.13, -0.5}, {-0.13, -0.5}, {-0.13, 0.3}, {-0.3, 0.3}};
    const std::vector<TScreenPoint> square = {
        {X + 5, Y + 5}, {X + 5, Y - 5}, {X - 5, Y - 5}, {X - 5, Y + 5}};
    if (!ShowCourse)
        return square;
    auto rotated = [&](std::span<const TUV> shape) {
        const double c = CosD(Course);
        const double s = SinD(Course);
        std::vector<TScreenPoint> out;
        for (const TUV &p : shape) {
            const double u = p.U * 20;
            const double v = p.V * 20;
            out.push_back({X + static_cast<int>(std::nearbyint(c * u + s * v)),
                Y + static_cast<int>(std::nearbyint(s * u - c * v))});
        }
        return out;
    };
    switch (Shape) {
    case 0:
        return rotated(kHull);
    case 1:
        return rotated(kArrow);
    case 2:
        return {{X, Y + 6}, {X - 4, Y - 3}, {X + 4, Y - 3}};
    case 3:
        return square;
    default:
        return {};
    }
}

void TMarcadorDePosicao::Draw(TChartSurface &chart, bool recompute)
{
    if (!Visible)
        return;
    if (!Background.IsEmpty()) {
        chart.DrawBitmap(SavedLeft, SavedTop, Background);
        ForgetBackground();
    }
    if (!chart.Escala.IsInside(Lat, Lon))
        return;
    if (recompute) {
        const TScreenPoint p = LimitedScreenPoint(chart, Lat, Lon);
        X = p.X;
        Y = p.Y;
    }
    const std::vector<TScreenPoint> shape = ShapePoints();
    if (shape.empty())
        return;
    chart.SetBrush(kClRed, TBrushStyle::Solid);
    chart.SetPen(kClBlack, 1, TPenStyle::Solid);
    int left = X, top = Y, right = X, bottom = Y;
    for (const auto &p : shape) {
        left = std::min(left, p.X);
        top = std::min(top, p.Y);
        right = std::max(right, p.X);
        bottom = std::max(bottom, p.Y);
    }
    // The cross reaches X+3 and Y+3; the rectangle is one pixel wider to the right and bottom.
    right = std::max(right, X + 3) + 1;
    bottom = std::max(bottom, Y + 3) + 1;
    left = std::min(left, X - 2);
    top = std::min(top, Y - 2);
    if (auto saved = chart.GrabBitmap(left, top, right - left + 1, bottom - top + 1)) {
        Background = std::move(*saved);
        SavedLeft = left;
        SavedTop = top;
    }
    chart.Polygon(shape);
    chart.Line(X - 2, Y, X + 3, Y);
    chart.Line(X, Y - 2, X, Y + 3);
}

// ---- TChtFileObject ------------------------------------------------------------------------

TChtFileObject::TChtFileObject(
    std::string_view fileName, double latCDeg, double lonCDeg, double lonSpanDeg)
    : LatC(latCDeg)
    , LonC(lonCDeg)
    , LonSpan(lonSpanDeg)
    , FileName(fileName)
{ }

void TChtFileObject::SetAttribute(std::string_view key, std::string_view value)
{
    const auto colour = ParseChartColor(value);
    if (key == "gridcolor")
        GridColor = colour.value_or(kClWhite);
    else if (key == "landcolor")
        LandColor = colour.value_or(kClOlive);
    else if (key == "shorecolor")
        ShoreColor = colour.value_or(kClYellow);
    else if (key == "seacolor")
        SeaColor = colour.value_or(kClNavy);
}

bool TChtFileObject::IsValid() const
{
    return IsRegularFile(FileName);
}

void TChtFileObject::ApplyColors(TChartSurface &chart) const
{
    if (GridColor != -1)
        chart.GridColor = static_cast<TColor>(GridColor);
    if (LandColor != -1)
        chart.DefaultLandColor = static_cast<TColor>(LandColor);
    if (ShoreColor != -1)
        chart.DefaultShoreColor = static_cast<TColor>(ShoreColor);
    if (SeaColor != -1)
        chart.SeaColor = static_cast<TColor>(SeaColor);
}

// ---- TChtPoliPoints ------------------------------------------------------------------------

TChtPoliPoints::TChtPoliPoints()
{
    RecomputeBounds();
}

void TChtPoliPoints::RecomputeBounds()
{
    // An inverted box overlaps no view, so an object without points draws nothing.
    LatMin = 90;
    LonMin = 180;
    LatMax = -90;
    LonMax = -180;
    for (const auto &p : Points)
        ExpandBounds(p.Lat, p.Lon);
}

void TChtPoliPoints::AddPoint(std::string_view name, double latDeg, double lonDeg, double)
{
    ExpandBounds(latDeg, lonDeg);
    TChtPoint p;
    p.Name = std::string(name);
    p.Lat = latDeg;
    p.Lon = lonDeg;
    Points.push_back(std::move(p));
}

void TChtPoliPoints::WritePointLines(std::vector<std::string> &lines) const
{
    for (const auto &p : Points)
        lines.push_back(PointLine(p));
}

void TChtPoliPoints::DeletePoint(std::size_t index)
{
    if (index >= Points.size())
        return;
    Points.erase(Points.begin() + static_cast<std::ptrdiff_t>(index));
    RecomputeBounds();
}

TChtPoint *TChtPoliPoints::FindPoint(int x, int y)
{
    TChtPoint *best = nullptr;
    int bestDist = 6;
    for (auto &p : Points) {
        const int d = p.Distance(x, y);
        if (d < bestDist) {
            best = &p;
            bestDist = d;
        }
    }
    return best;
}

void TChtPoliPoints::UpdateScreenPoints(const TChartSurface &chart, bool recompute)
{
    if (!recompute && ScreenPoints.size() == Points.size())
        return;
    ScreenPoints.resize(Points.size());
    const TEscalaCarta &e = chart.Escala;
    for (std::size_t i = 0; i < Points.size(); ++i) {
        TChtPoint &p = Points[i];
        ScreenPoints[i] = e.World2ScreenF(p.Lat, p.Lon);
        p.CalcScreen(chart);
    }
}

// ---- TChtPolygon ---------------------------------------------------------------------------

TChtPolygon::TChtPolygon() = default;

void TChtPolygon::SetAttribute(std::string_view key, std::string_view value)
{
    if (key == "color") {
        Color = ParseChartColor(value).value_or(kClYellow);
        DefaultColors = false;
    } else if (key == "bgcolor") {
        BGColor = ParseChartColor(value).value_or(kClOlive);
        DefaultColors = false;
    } else if (key == "brushstyle") {
        const long long v = ParseInteger(value).value_or(1);
        if (v == 0)
            BrushStyle = 1;
        else if (v == 1)
            BrushStyle = 0;
    }
}

void TChtPolygon::WriteAttributes(std::vector<std::string> &lines) const
{
    lines.push_back("A;Color=" + FormatChartColor(Color));
    lines.push_back("A;BGColor=" + FormatChartColor(BGColor));
    lines.push_back(std::string("A;BrushStyle=") + (BrushStyle == 0 ? "1" : "0"));
}

std::string TChtPolygon::HeaderLine() const
{
    return "O;Polygon;" + ChartFieldText(Name);
}

void TChtPolygon::Draw(TChartSurface &chart, bool recompute)
{
    if (!IsVisible(chart))
        return;
    UpdateScreenPoints(chart, recompute);
    const bool printing = chart.IsPrinting();
    chart.SetPen(printing ? kClGreen : Color, chart.PenWidth(), TPenStyle::Solid);
    chart.SetBrush(
        printing ? kClWhite : BGColor, BrushStyle == 0 ? TBrushStyle::Solid : TBrushStyle::Clear);
    chart.PolygonClipped(ScreenPoints);
    chart.SetBrush(printing ? kClWhite : BGColor, TBrushStyle::Solid);
}

// ---- TChtRoute -----------------------------------------------------------------------------

TChtRoute::TChtRoute()
{
    Name = "Route1";
}

void TChtRoute::SetAttribute(std::string_view key, std::string_view value)
{
    if (key == "color") {
        Color = ParseChartColor(value).value_or(kClRed);
    } else if (key == "visible") {
        const std::string_view v = value;
        Visible = !v.empty() && (v.front() == 't' || v.front() == 'T');
    }
}

void TChtRoute::WriteAttributes(std::vector<std::string> &lines) const
{
    lines.push_back("A;Color=" + FormatChartColor(Color));
    lines.push_back(std::string("A;Visible=") + (Visible ? "TRUE" : "FALSE"));
}

std::string TChtRoute::HeaderLine() const
{
    return "O;Route;" + ChartFieldText(Name);
}

void TChtRoute::Draw(TChartSurface &chart, bool recompute)
{
    if (!Visible || !IsVisible(chart))
        return;
    UpdateScreenPoints(chart, recompute);
    chart.SetPen(Color, chart.PenWidth(), TPenStyle::Solid);
    chart.PolylineClipped(ScreenPoints);
}

// ---- TChtTrack -----------------------------------------------------------------------------

TChtTrack::TChtTrack()
{
    Name = "Track1";
}

void TChtTrack::SetAttribute(std::string_view key, std::string_view value)
{
    if (key == "gpstrack" && LowerAscii(value) == "true")
        GpsTrack = true;
    else
        TChtRoute::SetAttribute(key, value);
}

void TChtTrack::WriteAttributes(std::vector<std::string> &lines) const
{
    if (GpsTrack)
        lines.emplace_back("A;GpsTrack=TRUE");
    TChtRoute::WriteAttributes(lines);
}

std::string TChtTrack::HeaderLine() const
{
    return "O;Track;" + ChartFieldText(Name);
}

void TChtTrack::AddPoint(std::string_view name, double latDeg, double lonDeg, double time)
{
    TChtPoliPoints::AddPoint(name, latDeg, lonDeg, time);
    Points.back().Time = time;
    LastDrawn = static_cast<int>(Points.size()) - 1;
}

void TChtTrack::DeletePoint(std::size_t index)
{
    TChtRoute::DeletePoint(index);
    const int last = std::max(0, static_cast<int>(Points.size()) - 1);
    LastDrawn = std::min(LastDrawn, last);
    TailStart = std::min(TailStart, last);
}

void TChtTrack::Draw(TChartSurface &chart, bool recompute)
{
    if (TimeLimit == 0)
        TChtRoute::Draw(chart, recompute);
    else
        Replay(chart, recompute);
}

void TChtTrack::Replay(TChartSurface &chart, bool recompute)
{
    if (!Visible || !IsVisible(chart))
        return;
    const int n = static_cast<int>(Points.size());
    if (n == 0)
        return;
    int last = 0;
    for (int i = 0; i < n; ++i) {
        if (recompute)
            Points[i].CalcScreen(chart);
        if (Points[i].Time <= TimeLimit)
            last = i;
    }
    auto erase = [&](int from, int to) { // segments ending at indices from..to (either order)
        // Paper has no earlier replay to erase; sea-coloured strokes would only cover the chart.
        if (chart.IsPrinting())
            return;
        chart.SetPen(chart.SeaColor, 3, TPenStyle::Solid);
        const int lo = std::max(1, std::min(from, to));
        const int hi = std::min(n - 1, std::max(from, to));
        for (int i = lo; i <= hi; ++i)
            chart.Line(Points[i - 1].X, Points[i - 1].Y, Points[i].X, Points[i].Y);
    };
    int start = 0;
    if (TailLength > 0) {
        start = last - TailLength;
        if (TailStart > start) {
            TailStart = 0;
        } else if (TailStart < start) {
            if (TailStart > 0)
                erase(TailStart, start);
            TailStart = start;
        }
    }
    last = std::min(last + 1, n - 1);
    if (last > LastDrawn) {
        LastDrawn = last;
    } else if (last > 0 && n > LastDrawn) {
        erase(LastDrawn, last);
        LastDrawn = last;
    }
    chart.SetPen(Color, 1, TPenStyle::Solid);
    bool first = true;
    for (int i = std::max(start, 0); i < n; ++i) {
        const TChtPoint &p = Points[i];
        int x = p.X;
        int y = p.Y;
        bool stop = false;
        if (p.Time > TimeLimit) {
            if (i == 0)
                break;
            const TChtPoint &q = Points[i - 1];
            const double span = p.Time - q.Time;
            if (span <= 0)
                break;
            const double f = (TimeLimit - q.Time) / span;
            if (std::fabs(f) > 1)
                break;
            x = q.X + static_cast<int>(std::trunc(f * (p.X - q.X)));
            y = q.Y + static_cast<int>(std::trunc(f * (p.Y - q.Y)));
            stop = true;
        }
        if (first)
            chart.MoveTo(x, y);
        else
            chart.LineTo(x, y);
        first = false;
        if (stop)
            break;
    }
}

} // namespace vrn
