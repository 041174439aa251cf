#pragma once

#include <QHash>
#include <QIcon>
#include <QImage>
#include <QString>
#include <array>

class QPainter;

// One printed log page: a header band with the logo, the member's name and the title; for a
// dive, a detail band of five blocks of boxes with every value of the dive; a footer band with
// the program's title, the page number and the date of printing. US Letter, portrait, 10 mm
// margins; positions in millimetres from the top left of a band.
namespace DivePage {

inline constexpr double kPaperWidth = 215.9;
inline constexpr double kPaperHeight = 279.4;
inline constexpr double kMargin = 10;

// The places a page fills from its dive (or from the report, for the bands).
enum Slot {
    MemberName,
    Title,
    AppTitle,
    PageNumber,
    PrintedAt,
    Certified,
    // Block A
    RunningNumber,
    DiveCount,
    Location,
    Date,
    TimeStart,
    Site,
    // Block B
    MediaText,
    SiteTypeText,
    Operator,
    ActivityText,
    DiveTypeText,
    School,
    Activity2Text,
    DiveType2Text,
    Buddy,
    Rating,
    AccessText,
    Instructor,
    // Block C
    AscentText,
    Coordinates,
    Team1,
    DecoText,
    LightText,
    Team2,
    Notes,
    Team3,
    Team4,
    Team5,
    // Block D
    Depth,
    MaxDepth,
    DepthUnitText,
    Visibility,
    VisibilityMax,
    VisibilityUnitText,
    BottomTime,
    SurfaceInterval,
    WeatherStart,
    TempAir,
    TempUnitText,
    StopDepth,
    StopDepthUnitText,
    Altitude,
    AltitudeUnitText,
    WeatherEnd,
    TempSurface,
    TempUnitSurface,
    StopTime,
    GroupIn,
    GroupOut,
    Surf,
    TempBottom,
    TempUnitBottom,
    Current,
    CurrentDirection,
    Waves,
    Wind,
    WindDirection,
    Surge,
    Cold,
    // Block E
    PressureStart,
    PressureStartUnit,
    PressureEnd,
    PressureEndUnit,
    Thickness,
    ThicknessUnit,
    LeadWeight,
    LeadUnit,
    DcVendor,
    DcModel,
    SlotCount
};

using Texts = std::array<QString, SlotCount>;

// What every page shares: the captions in the dictionary's words (by key) and the pictures.
// Printers get the pictures as images, embedded once in a document however many pages show
// them; the screen gets them drawn at its own scale.
struct Resources {
    QHash<QString, QString> captions;
    QImage logo;
    QImage certificationMark;
    QIcon certificationIcon;
};

// The dictionary keys of the page's captions.
QStringList captionKeys();

// Paints a page whose origin is the top left of the printable area, on a device of `dpi` dots
// per inch (its fonts are sized for that resolution). Without `detail` the page has only its
// header and footer (the page of an empty log).
void paint(QPainter& painter, double dpi, const Resources& resources, const Texts& texts,
           bool detail);

}  // namespace DivePage
