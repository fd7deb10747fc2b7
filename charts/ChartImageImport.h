#pragma once

// The chart image importer without its window: the texts of its checks and questions, the grid
// steps, the names it proposes, and the whole calibration of a picture from three reference
// points to its chart image data file, as `vrncli calibrate` runs it.

#include "charts/ImgCarta.h"

#include <array>
#include <string>
#include <string_view>

namespace vrn {

// ---- Texts of the importer window (line breaks as "\n") ----

// The rotation in degrees as the questions show it: "%5.3f°" and two blanks.
std::string RotationDegreesText(double angleRad);
// "Image needs to be rotated <D>\nto align North-South axis with vertical.\nDo it now?"
std::string RotationQuestion(double angleRad);
// The status line after "Rotate to NS": "Image rotated " + "%10.7f°".
std::string RotatedStatusText(double angleRad);
extern const std::string_view kNsAlignedText; // "Image doesn't need rotation to align NS ..."
// "Image rotated <D> to align NS with vertical axis"
std::string NsRotatedText(double angleRad);

struct TEastWestVerdict
{
    std::string Text; // "WE axis angle is 0.0012 radians, which is good."
    bool Good = false; // good or acceptable
};

// |angle| <= 0.002 good, <= 0.005 acceptable, otherwise skewed.
TEastWestVerdict EastWestVerdict(double eastAngleRad);

extern const std::string_view kImportStatusExplanation;

struct TVerification
{
    double X = 0, Y = 0; // the pixel computed from the typed position
    double ErrorPx = 0;
    bool Acceptable = false; // below 4 pixels
    std::string Text; // the information box
};

// A verification click at pixel (x, y) where the user typed (latDeg, lonDeg).
TVerification VerifyPoint(const TImagemCarta &image, int x, int y, double latDeg, double lonDeg);

// The grid steps of the list, in its order ("5'", "10'", "30'", "1°", "5°", "10°").
std::array<std::string_view, 6> GridStepItems();
// Degrees of a grid list item; anything else counts as 1°.
double GridStepOf(std::string_view item);

// "<folder>/<name>-ns<ext>": where a rotated picture is proposed, never over its source.
std::string ProposedRotatedPictureName(const std::string &pictureFile);
// The picture's name with its extension replaced by ".CID".
std::string ProposedCidName(const std::string &pictureFile);

// ---- Calibration of a picture in one go ----

struct TCalibrationRequest
{
    std::string Picture; // .jpg, .jpeg, .gif or .bmp
    std::array<TChartPoint, 3> Ref; // pixel and position of each reference point
    bool Mercator = true;
    std::string Description;
    bool Rotate = false; // turn a leaning picture north-up and write it beside the data file
    std::string CidFile;
    double WrittenAt = 0; // date-time of the "Date=" line
};

struct TCalibrationOutcome
{
    double NorthAngleRad = 0; // as found, before any rotation
    double EastAngleRad = 0; // of the picture written
    bool Rotated = false;
    std::string RotatedPicture; // the picture written when rotated
    TChartRect Bounds; // of the picture written, with its scales
};

// The picture must be rotated (by AngleRad) and the caller did not ask for it.
class ENeedsRotation : public EVrnError
{
public:
    explicit ENeedsRotation(double angleRad);
    double AngleRad;
};

// A reference pixel outside the picture.
class EPointOutsidePicture : public EVrnError
{
public:
    using EVrnError::EVrnError;
};

// Reads the picture, enters the reference points as the importer window does, rotates when the
// picture leans and Rotate is set (the rotated picture goes beside the data file under its base
// name with the picture's extension) and writes the data file. Raises EPointOutsidePicture,
// EInvalidReferencePoints, ENeedsRotation, or EVrnError for files that cannot be read or
// written; nothing is written then, and the source picture is never written over.
TCalibrationOutcome CalibrateChartImage(const TCalibrationRequest &request);

} // namespace vrn
