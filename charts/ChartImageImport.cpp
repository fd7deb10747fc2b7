#include "charts/ChartImageImport.h"

#include "charts/ChartPaths.h"
#include "engine/NumText.h"

#include <cmath>
#include <filesystem>
#include <numbers>

namespace vrn {

namespace {

double Degrees(double rad)
{
    return rad * 180 / std::numbers::pi;
}

} // namespace

std::string RotationDegreesText(double angleRad)
{
    return FormatFixed(Degrees(angleRad), 3, 5) + "°  ";
}

std::string RotationQuestion(double angleRad)
{
    return "Image needs to be rotated " + RotationDegreesText(angleRad)
        + "\nto align North-South axis with vertical.\nDo it now?";
}

std::string RotatedStatusText(double angleRad)
{
    return "Image rotated " + FormatFixed(Degrees(angleRad), 7, 10) + "°";
}

const std::string_view kNsAlignedText = "Image doesn't need rotation to align NS with vertical";

std::string NsRotatedText(double angleRad)
{
    return "Image rotated " + RotationDegreesText(angleRad) + " to align NS with vertical axis";
}

TEastWestVerdict EastWestVerdict(double eastAngleRad)
{
    const double w = std::fabs(eastAngleRad);
    TEastWestVerdict v;
    std::string verdict;
    if (w <= 0.002) {
        verdict = "good.";
        v.Good = true;
    } else if (w <= 0.005) {
        verdict = "acceptable.";
        v.Good = true;
    } else {
        verdict = "too much. Image is skewed and may be unusable.";
    }
    v.Text = "WE axis angle is " + FormatFixed(w, 4, 6) + " radians, which is " + verdict;
    return v;
}

const std::string_view kImportStatusExplanation =
    "When North-South axis is aligned with vertical,\n"
    "East-West axis should be aligned with horizontal.\n\n"
    "A small angle can be tolerated.\n"
    "   angle<0.002 radians - Good.\n"
    "   angle<0.005 radians - Acceptable\n"
    "   angle>0.005 radians - Chart image unusable.\n\n"
    "If the EW axis is not orthogonal to NS (a>0.005), either:\n"
    "  - The image is a skewed projection and is unusable.\n"
    "  - There is error in the reference points. Try again.";

TVerification VerifyPoint(const TImagemCarta &image, int x, int y, double latDeg, double lonDeg)
{
    TVerification v;
    image.World2Screen(latDeg, lonDeg, v.X, v.Y);
    v.ErrorPx = std::hypot(v.X - x, v.Y - y);
    v.Acceptable = v.ErrorPx < 4;
    v.Text = "Verification point\nClicked point x=" + FormatInt(x) + "  y=" + FormatInt(y)
        + "\nCalculated point x=" + FormatFixed(v.X, 1, 5) + "  y=" + FormatFixed(v.Y, 1, 5)
        + "\nError=" + FormatFixed(v.ErrorPx, 1, 5) + " pixels"
        + (v.Acceptable ? " : acceptable" : " : error too large. Check scale.");
    return v;
}

std::array<std::string_view, 6> GridStepItems()
{
    return {"5'", "10'", "30'", "1°", "5°", "10°"};
}

double GridStepOf(std::string_view item)
{
    constexpr double steps[] = {1.0 / 12, 1.0 / 6, 0.5, 1, 5, 10};
    const auto items = GridStepItems();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == item)
            return steps[i];
    return 1;
}

std::string ProposedRotatedPictureName(const std::string &pictureFile)
{
    const std::filesystem::path p(pictureFile);
    return (p.parent_path() / (p.stem().string() + "-ns" + p.extension().string())).string();
}

std::string ProposedCidName(const std::string &pictureFile)
{
    return std::filesystem::path(pictureFile).replace_extension(".CID").string();
}

// ---- CalibrateChartImage -------------------------------------------------------------------

ENeedsRotation::ENeedsRotation(double angleRad)
    : EVrnError("The picture must be rotated " + FormatFixed(Degrees(angleRad), 3)
        + " degrees to align its North-South axis with the vertical")
    , AngleRad(angleRad)
{ }

TCalibrationOutcome CalibrateChartImage(const TCalibrationRequest &request)
{
    TImagemCarta image;
    image.SetImageFile(request.Picture);
    const auto picture = image.Bitmap();
    for (int i = 0; i < 3; ++i) {
        const TChartPoint &p = request.Ref[i];
        if (!(p.X >= 0 && p.Y >= 0 && p.X < picture->Width() && p.Y < picture->Height()))
            throw EPointOutsidePicture("Reference point " + FormatInt(i + 1) + " at pixel "
                + FormatFixed(p.X, 1) + ", " + FormatFixed(p.Y, 1) + " is outside the picture ("
                + FormatInt(picture->Width()) + "x" + FormatInt(picture->Height()) + " pixels)");
    }
    image.ClearCalibration();
    image.SetMercatorLatitudeScale(request.Mercator);
    image.SetChartDescription(request.Description);
    for (const TChartPoint &p : request.Ref)
        image.AddReferencePoint(p.X, p.Y, p.Lat, p.Lon);

    TCalibrationOutcome outcome;
    double angle = 0;
    if (image.NeedsRotation(angle)) {
        outcome.NorthAngleRad = angle;
        if (!request.Rotate)
            throw ENeedsRotation(angle);
        const std::filesystem::path cid(request.CidFile);
        const std::string target = (cid.parent_path()
            / (cid.stem().string() + std::filesystem::path(request.Picture).extension().string()))
                                       .string();
        image.RotateToNorth();
        image.SaveImage(target);
        outcome.Rotated = true;
        outcome.RotatedPicture = target;
    } else {
        outcome.NorthAngleRad = image.NorthAngle();
    }
    image.SaveCID(request.CidFile, request.WrittenAt);
    outcome.EastAngleRad = image.EastAngle();
    outcome.Bounds = image.Bounds();
    return outcome;
}

} // namespace vrn
