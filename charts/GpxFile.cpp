#include "charts/GpxFile.h"

#include "charts/ChartDialogs.h"
#include "charts/Dchtbmps.h"
#include "common/FileIO.h"
#include "engine/DateTime.h"
#include "engine/NumText.h"
#include "engine/TextCodec.h"
#include "engine/Trigonom.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

namespace vrn {

namespace {

constexpr auto kGpx10Namespace = "http://www.topografix.com/GPX/1/0";
constexpr auto kGpx11Namespace = "http://www.topografix.com/GPX/1/1";

// Names and links longer than these would not fit the 255-byte lines of a desktop file.
constexpr std::size_t kMaxNameChars = 80;
constexpr std::size_t kMaxLinkChars = 120;

// New marks are this wide, as those placed with the mouse.
constexpr double kMarkSizeDeg = 0.1;

// How often (in points) the reader reports its progress.
constexpr std::size_t kProgressEvery = 2048;

std::string ToUtf8(QStringView text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// A text of the file as one field of a desktop line: no ";" or line breaks, only characters a
// desktop file can hold, cut to `maxChars`.
std::string FieldText(const QString &text, std::size_t maxChars)
{
    const std::string clean = Cp1252ToUtf8(Utf8ToCp1252(ChartFieldText(ToUtf8(text.trimmed()))));
    return std::string(Trim(Utf8Left(clean, maxChars)));
}

// ---- Times: xsd:dateTime, "2024-06-21T04:29:47Z", "2024-06-21T06:29:47.5+02:00"; a time
// without a zone is taken as UTC, as GPX prescribes.

bool Digits(std::string_view s, std::size_t at, std::size_t n, int &value)
{
    if (at + n > s.size())
        return false;
    value = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        value = value * 10 + (s[i] - '0');
    }
    return true;
}

std::optional<double> ParseGpxTime(std::string_view s)
{
    s = Trim(s);
    int year, month, day, hour, minute, second;
    if (s.size() < 19 || !Digits(s, 0, 4, year) || s[4] != '-' || !Digits(s, 5, 2, month)
        || s[7] != '-' || !Digits(s, 8, 2, day) || (s[10] != 'T' && s[10] != 't')
        || !Digits(s, 11, 2, hour) || s[13] != ':' || !Digits(s, 14, 2, minute) || s[16] != ':'
        || !Digits(s, 17, 2, second))
        return std::nullopt;
    std::size_t i = 19;
    double fraction = 0;
    if (i < s.size() && s[i] == '.') {
        double scale = 0.1;
        std::size_t digits = 0;
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits) {
            fraction += (s[i] - '0') * scale;
            scale /= 10;
        }
        if (digits == 0)
            return std::nullopt;
    }
    int offsetMinutes = 0;
    if (i < s.size()) {
        if (s[i] == 'Z' || s[i] == 'z') {
            ++i;
        } else if (s[i] == '+' || s[i] == '-') {
            int oh, om;
            if (!Digits(s, i + 1, 2, oh) || i + 3 >= s.size() || s[i + 3] != ':'
                || !Digits(s, i + 4, 2, om) || oh > 14 || om > 59)
                return std::nullopt;
            offsetMinutes = (s[i] == '-' ? -1 : 1) * (oh * 60 + om);
            i += 6;
        }
    }
    if (i != s.size())
        return std::nullopt;
    // 24:00:00 is the end of the day in xsd; a leap second is kept on the same second.
    const bool endOfDay = hour == 24 && minute == 0 && second == 0 && fraction == 0;
    if (second == 60)
        second = 59;
    const auto date = TryEncodeDate(year, month, day);
    const auto time =
        endOfDay ? std::optional<double>(1.0) : TryEncodeTime(hour, minute, second, 0);
    if (!date || !time)
        return std::nullopt;
    const double value = *date + *time + fraction / 86400.0 - offsetMinutes / 1440.0;
    if (!IsValidDateTime(value))
        return std::nullopt;
    return value;
}

std::string GpxTimeText(double dateTime)
{
    const TDateTimeParts p = DecodeDateTime(dateTime);
    char buf[40];
    if (p.Time.Msec != 0)
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", p.Date.Year,
            p.Date.Month, p.Date.Day, p.Time.Hour, p.Time.Minute, p.Time.Second, p.Time.Msec);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02dZ", p.Date.Year, p.Date.Month,
            p.Date.Day, p.Time.Hour, p.Time.Minute, p.Time.Second);
    return buf;
}

// Nine decimals (a tenth of a millimetre) without trailing zeros: what was read is written back.
QString CoordinateText(double deg)
{
    if (deg == 0)
        deg = 0; // no "-0"
    std::string s = FormatFixed(deg, 9);
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    if (s == "-0")
        s = "0";
    return QString::fromStdString(s);
}

// West-positive longitude of the system to GPX's east-positive one, in [-180, 180).
double GpxLongitude(double lonWestDeg)
{
    double east = -lonWestDeg;
    east = east - 360.0 * std::floor((east + 180.0) / 360.0);
    return east;
}

std::optional<std::string> KnownIcon(const QString &sym)
{
    const std::string upper = ToUtf8(sym.trimmed().toUpper());
    for (const char *name : kMarkerBitmapNames)
        if (upper == name)
            return upper;
    return std::nullopt;
}

// ---- Reader

struct TPointRead
{
    bool Usable = false;
    double Lat = 0;
    double Lon = 0; // west positive
    std::string Name;
    double Time = 0;
    std::string Link;
    std::string Icon = "HAND"; // the icon of new marks
};

enum class TPointKind
{
    Waypoint,
    RoutePoint,
    TrackPoint,
};

const char *KindText(TPointKind kind)
{
    switch (kind) {
    case TPointKind::Waypoint:
        return "waypoint";
    case TPointKind::RoutePoint:
        return "route point";
    case TPointKind::TrackPoint:
        return "track point";
    }
    return "point";
}

class TGpxReader
{
public:
    TGpxReader(QXmlStreamReader &xml, std::string source, QIODevice *device,
        const TGpxProgressFn &progress)
        : X(xml)
        , FSource(std::move(source))
        , FDevice(device)
        , FProgress(progress)
    {
        if (FDevice)
            FTotal = static_cast<std::uint64_t>(std::max<qint64>(0, FDevice->size()));
    }

    TGpxImport Read()
    {
        if (!X.readNextStartElement() || X.name() != QLatin1String("gpx")) {
            ThrowIfBroken();
            throw EVrnError(FSource + " is not a GPX file");
        }
        while (X.readNextStartElement()) {
            ReportProgress();
            if (!InGpx())
                X.skipCurrentElement();
            else if (X.name() == QLatin1String("wpt"))
                ReadWaypoint();
            else if (X.name() == QLatin1String("rte"))
                ReadRoute();
            else if (X.name() == QLatin1String("trk"))
                ReadTrack();
            else
                X.skipCurrentElement(); // metadata, extensions
        }
        ThrowIfBroken();
        if (FDropped > 0)
            FOut.Messages.push_back(FSource + ": " + FormatInt(static_cast<long long>(FDropped))
                + " more problems not listed");
        ReportProgress(true);
        return std::move(FOut);
    }

private:
    QXmlStreamReader &X;
    std::string FSource;
    QIODevice *FDevice;
    const TGpxProgressFn &FProgress;
    std::uint64_t FTotal = 0;
    std::size_t FSinceProgress = 0;
    std::size_t FDropped = 0;
    TGpxImport FOut;

    void ThrowIfBroken()
    {
        if (!X.hasError())
            return;
        throw EVrnError(FSource + ", line " + FormatInt(X.lineNumber()) + ": "
            + ToUtf8(X.errorString()) + " (nothing imported)");
    }

    void ReportProgress(bool final = false)
    {
        if (!FProgress || (!final && ++FSinceProgress < kProgressEvery))
            return;
        FSinceProgress = 0;
        const std::uint64_t done = final ? FTotal
            : FDevice ? static_cast<std::uint64_t>(std::max<qint64>(0, FDevice->pos()))
                      : static_cast<std::uint64_t>(X.characterOffset());
        if (!FProgress(std::min(done, FTotal), FTotal))
            throw EGpxCancelled();
    }

    bool InGpx() const
    {
        const QStringView ns = X.namespaceUri();
        return ns.isEmpty() || ns == QLatin1String(kGpx11Namespace)
            || ns == QLatin1String(kGpx10Namespace);
    }

    void Message(qint64 line, const std::string &text)
    {
        if (FOut.Messages.size() < kMaxGpxMessages)
            FOut.Messages.push_back(FSource + ", line " + FormatInt(line) + ": " + text);
        else
            ++FDropped;
    }

    QString ElementText() { return X.readElementText(QXmlStreamReader::SkipChildElements); }

    std::optional<double> Coordinate(
        const char *attribute, double limit, qint64 line, TPointKind kind, const char *what)
    {
        const QXmlStreamAttributes attributes = X.attributes();
        if (!attributes.hasAttribute(QLatin1String(attribute))) {
            Message(line, std::string(KindText(kind)) + " without a " + what + " left out");
            return std::nullopt;
        }
        const std::string text = ToUtf8(attributes.value(QLatin1String(attribute)));
        const auto value = ParseNumber(text);
        if (!value || std::fabs(*value) > limit) {
            Message(line,
                std::string(KindText(kind)) + " with an invalid " + what + " \"" + text
                    + "\" left out");
            return std::nullopt;
        }
        return value;
    }

    // A wpt, rtept or trkpt: its position, then its children (all of them are read, so that the
    // reader stays in step whatever they hold).
    TPointRead ReadPoint(TPointKind kind)
    {
        TPointRead p;
        const qint64 line = X.lineNumber();
        const auto lat = Coordinate("lat", 90, line, kind, "latitude");
        const auto lon =
            lat ? Coordinate("lon", 180, line, kind, "longitude") : std::optional<double>();
        while (X.readNextStartElement()) {
            if (!InGpx()) {
                X.skipCurrentElement();
                continue;
            }
            const QStringView name = X.name();
            if (name == QLatin1String("name")) {
                p.Name = FieldText(ElementText(), kMaxNameChars);
            } else if (name == QLatin1String("time") && kind == TPointKind::TrackPoint) {
                const qint64 timeLine = X.lineNumber();
                const std::string text = ToUtf8(ElementText().trimmed());
                if (const auto t = ParseGpxTime(text))
                    p.Time = *t;
                else
                    Message(
                        timeLine, "time \"" + text + "\" not understood, point kept without it");
            } else if (name == QLatin1String("link") && kind == TPointKind::Waypoint) {
                p.Link = ToUtf8(X.attributes().value(QLatin1String("href")).trimmed());
                X.skipCurrentElement();
            } else if (name == QLatin1String("url") && kind == TPointKind::Waypoint) {
                p.Link = ToUtf8(ElementText().trimmed()); // GPX 1.0
            } else if (name == QLatin1String("sym") && kind == TPointKind::Waypoint) {
                p.Icon = KnownIcon(ElementText()).value_or(p.Icon);
            } else {
                X.skipCurrentElement();
            }
        }
        if (lat && lon) {
            p.Usable = true;
            p.Lat = *lat;
            p.Lon = *lon == 0 ? 0.0 : -*lon; // GPX east positive, the system west positive
        }
        if (!p.Link.empty()
            && (Utf8Length(p.Link) > kMaxLinkChars || FieldTextProblem(p.Link, "The link"))) {
            Message(line, "link of waypoint \"" + p.Name + "\" too long or not usable, left out");
            p.Link.clear();
        }
        ReportProgress();
        return p;
    }

    void ReadWaypoint()
    {
        TPointRead p = ReadPoint(TPointKind::Waypoint);
        if (!p.Usable)
            return;
        FOut.Marks.Add(
            std::make_unique<TChtURLObject>(p.Link, p.Icon, p.Name, kMarkSizeDeg, p.Lat, p.Lon));
    }

    void ReadRoute()
    {
        const qint64 line = X.lineNumber();
        auto route = std::make_unique<TChtRoute>();
        route->Name.clear();
        while (X.readNextStartElement()) {
            if (!InGpx()) {
                X.skipCurrentElement();
            } else if (X.name() == QLatin1String("name")) {
                route->Name = FieldText(ElementText(), kMaxNameChars);
            } else if (X.name() == QLatin1String("rtept")) {
                const TPointRead p = ReadPoint(TPointKind::RoutePoint);
                if (p.Usable)
                    route->AddPoint(p.Name, p.Lat, p.Lon, 0);
            } else {
                X.skipCurrentElement();
            }
        }
        if (X.hasError())
            return;
        if (route->Points.empty()) {
            Message(line, "route \"" + route->Name + "\" has no points, left out");
            return;
        }
        FOut.Routes.Add(std::move(route));
    }

    void ReadTrack()
    {
        const qint64 line = X.lineNumber();
        std::string name;
        std::vector<std::unique_ptr<TChtTrack>> segments;
        while (X.readNextStartElement()) {
            if (!InGpx()) {
                X.skipCurrentElement();
            } else if (X.name() == QLatin1String("name")) {
                name = FieldText(ElementText(), kMaxNameChars);
            } else if (X.name() == QLatin1String("trkseg")) {
                auto track = std::make_unique<TChtTrack>();
                while (X.readNextStartElement()) {
                    if (InGpx() && X.name() == QLatin1String("trkpt")) {
                        const TPointRead p = ReadPoint(TPointKind::TrackPoint);
                        if (p.Usable)
                            track->AddPoint(p.Name, p.Lat, p.Lon, p.Time);
                    } else {
                        X.skipCurrentElement();
                    }
                }
                if (!track->Points.empty())
                    segments.push_back(std::move(track));
            } else {
                X.skipCurrentElement();
            }
        }
        if (X.hasError())
            return;
        if (segments.empty()) {
            Message(line, "track \"" + name + "\" has no points, left out");
            return;
        }
        // A track of this system is one line: each segment of a GPX track is a track of its own.
        for (std::size_t i = 0; i < segments.size(); ++i) {
            segments[i]->Name = i == 0 || name.empty()
                ? name
                : name + " (" + FormatInt(static_cast<long long>(i) + 1) + ")";
            segments[i]->LastDrawn = static_cast<int>(segments[i]->Points.size()) - 1;
            FOut.Tracks.Add(std::move(segments[i]));
        }
    }
};

TGpxImport ReadFrom(QXmlStreamReader &xml, const std::string &source, QIODevice *device,
    const TGpxProgressFn &progress)
{
    // External entities are never fetched; internal ones are bounded by the reader.
    xml.setNamespaceProcessing(true);
    TGpxReader reader(xml, source, device, progress);
    return reader.Read();
}

std::size_t PointsOf(const TObjList &list)
{
    std::size_t n = 0;
    for (const auto &o : list)
        if (dynamic_cast<const TChtURLObject *>(o.get()))
            ++n;
    return n;
}

} // namespace

EGpxCancelled::EGpxCancelled()
    : EVrnError("GPX import cancelled")
{ }

std::size_t TGpxImport::PointCount() const
{
    std::size_t n = PointsOf(Marks);
    for (const auto &r : Routes)
        n += r->Points.size();
    for (const auto &t : Tracks)
        n += t->Points.size();
    return n;
}

TGpxImport ReadGpxFile(const std::string &fileName, const TGpxProgressFn &progress)
{
    QFile file(QString::fromStdString(fileName));
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        throw EVrnError("File " + fileName + " not found");
    QXmlStreamReader xml(&file);
    return ReadFrom(xml, fileName, &file, progress);
}

TGpxImport ReadGpxText(std::string_view text, const std::string &sourceName)
{
    QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&buffer);
    return ReadFrom(xml, sourceName, &buffer, {});
}

// ---- Writer

std::size_t TGpxExport::PointCount() const
{
    std::size_t n = Marks.size();
    for (const auto *r : Routes)
        n += r->Points.size();
    for (const auto *t : Tracks)
        n += t->Points.size();
    return n;
}

TGpxExport GpxExportOfDesk(const TChartDesk &desk)
{
    TGpxExport what;
    for (const auto &o : desk.OtherObjects)
        if (const auto *mark = dynamic_cast<const TChtURLObject *>(o.get()))
            what.Marks.push_back(mark);
    for (const auto &r : desk.Routes)
        what.Routes.push_back(r.get());
    for (const auto &t : desk.Tracks)
        what.Tracks.push_back(t.get());
    return what;
}

TGpxExport GpxExportOf(const TChtRoute &routeOrTrack)
{
    TGpxExport what;
    if (const auto *track = dynamic_cast<const TChtTrack *>(&routeOrTrack))
        what.Tracks.push_back(track);
    else
        what.Routes.push_back(&routeOrTrack);
    return what;
}

namespace {

QString Q(const std::string &s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

void WritePosition(QXmlStreamWriter &w, const TChtPoint &p)
{
    w.writeAttribute(QStringLiteral("lat"), CoordinateText(p.Lat));
    w.writeAttribute(QStringLiteral("lon"), CoordinateText(GpxLongitude(p.Lon)));
}

void WriteName(QXmlStreamWriter &w, const std::string &name)
{
    if (!name.empty())
        w.writeTextElement(QStringLiteral("name"), Q(name));
}

} // namespace

std::string GpxText(const TGpxExport &what)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter w(&buffer);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(2);
    w.writeStartDocument();
    w.writeDefaultNamespace(QLatin1String(kGpx11Namespace));
    w.writeNamespace(
        QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"), QStringLiteral("xsi"));
    w.writeStartElement(QLatin1String(kGpx11Namespace), QStringLiteral("gpx"));
    w.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    w.writeAttribute(QStringLiteral("creator"), QStringLiteral("Varunel"));
    w.writeAttribute(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"),
        QStringLiteral("schemaLocation"),
        QStringLiteral(
            "http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd"));

    for (const TChtURLObject *mark : what.Marks) {
        w.writeStartElement(QStringLiteral("wpt"));
        TChtPoint at;
        at.Lat = mark->Lat;
        at.Lon = mark->Lon;
        WritePosition(w, at);
        WriteName(w, mark->Name);
        if (!mark->URL.empty()) {
            w.writeStartElement(QStringLiteral("link"));
            w.writeAttribute(QStringLiteral("href"), Q(mark->URL));
            w.writeEndElement();
        }
        if (!mark->BitmapName.empty())
            w.writeTextElement(QStringLiteral("sym"), Q(mark->BitmapName));
        w.writeEndElement();
    }
    for (const TChtRoute *route : what.Routes) {
        if (route->Points.empty())
            continue;
        w.writeStartElement(QStringLiteral("rte"));
        WriteName(w, route->Name);
        for (const TChtPoint &p : route->Points) {
            w.writeStartElement(QStringLiteral("rtept"));
            WritePosition(w, p);
            WriteName(w, p.Name);
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    for (const TChtTrack *track : what.Tracks) {
        if (track->Points.empty())
            continue;
        w.writeStartElement(QStringLiteral("trk"));
        WriteName(w, track->Name);
        w.writeStartElement(QStringLiteral("trkseg"));
        for (const TChtPoint &p : track->Points) {
            w.writeStartElement(QStringLiteral("trkpt"));
            WritePosition(w, p);
            if (p.Time != 0 && IsValidDateTime(p.Time))
                w.writeTextElement(QStringLiteral("time"), Q(GpxTimeText(p.Time)));
            WriteName(w, p.Name);
            w.writeEndElement();
        }
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void WriteGpxFile(const std::string &fileName, const TGpxExport &what)
{
    WriteFileAtomically(fileName, GpxText(what));
}

// ---- Into a desk

TGpxAdded AddGpxToDesk(TChartDesk &desk, TGpxImport &import)
{
    TGpxAdded added;
    auto grow = [&added](const TChtObject &o) {
        added.LatMin = std::min(added.LatMin, o.LatMin);
        added.LatMax = std::max(added.LatMax, o.LatMax);
        added.LonMin = std::min(added.LonMin, o.LonMin);
        added.LonMax = std::max(added.LonMax, o.LonMax);
    };
    for (auto &route : import.Routes.ReleaseAll()) {
        if (route->Name.empty())
            route->Name = desk.NextRouteName();
        added.Points += route->Points.size();
        grow(*route);
        desk.Routes.Add(std::move(route));
        ++added.Routes;
    }
    for (auto &track : import.Tracks.ReleaseAll()) {
        if (track->Name.empty())
            track->Name = desk.NextTrackName();
        added.Points += track->Points.size();
        grow(*track);
        desk.Tracks.Add(std::move(track));
        ++added.Tracks;
    }
    for (auto &mark : import.Marks.ReleaseAll()) {
        if (const auto *m = dynamic_cast<const TChtURLObject *>(mark.get())) {
            TChtObject at;
            at.LatMin = at.LatMax = m->Lat;
            at.LonMin = at.LonMax = m->Lon;
            grow(at);
        }
        ++added.Points;
        desk.OtherObjects.Add(std::move(mark));
        ++added.Marks;
    }
    desk.RoutesModified = desk.RoutesModified || added.Routes > 0;
    desk.TracksModified = desk.TracksModified || added.Tracks > 0;
    desk.OtherObjectsModified = desk.OtherObjectsModified || added.Marks > 0;
    return added;
}

std::string GpxSummaryText(
    std::size_t routes, std::size_t tracks, std::size_t marks, std::size_t points)
{
    auto count = [](std::size_t n, const char *one, const char *many) {
        return FormatInt(static_cast<long long>(n)) + " " + (n == 1 ? one : many);
    };
    std::string text;
    auto add = [&text](const std::string &part) { text += (text.empty() ? "" : ", ") + part; };
    if (routes > 0)
        add(count(routes, "route", "routes"));
    if (tracks > 0)
        add(count(tracks, "track", "tracks"));
    if (marks > 0)
        add(count(marks, "mark", "marks"));
    if (text.empty())
        return "nothing";
    return text + " (" + count(points, "point", "points") + ")";
}

} // namespace vrn
