#include "reports/dive_page.h"

#include "ui/forms/logo.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <vector>

namespace DivePage {
namespace {

constexpr double kWidth = 195.8;  // the printable width
constexpr double kPrintableHeight = kPaperHeight - 2 * kMargin;
constexpr double kHeaderHeight = 15.9;
constexpr double kFooterHeight = 8.5;
constexpr double kBoxHeight = 4.8;
constexpr double kFrameWidth = 0.2;
constexpr double kUnderlineWidth = 0.15;
constexpr double kSmallestCaption = 5.5;  // points
const QColor kHeaderColour(98, 134, 225);
const QColor kGrey(233, 233, 233);
const QColor kUnderline(192, 192, 192);

enum class Kind { Caption, Literal, Value, Memo, Box, Mark };
enum class Face { Normal, Wide };  // Wide: the "/ 5" beside the rating

struct Item {
    Kind kind;
    double left, top, width, height;
    const char* text;  // a caption's dictionary key or a literal text
    int slot;
    Qt::Alignment align;
    bool underline;
    Face face;
};

constexpr Qt::Alignment kLeft = Qt::AlignLeft;
constexpr Qt::Alignment kRight = Qt::AlignRight;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter;

Item caption(double left, double top, const char* key) {
    return {Kind::Caption, left, top, 0, kBoxHeight, key, -1, kLeft, false, Face::Normal};
}

Item literal(double left, double top, const char* text, Face face = Face::Normal) {
    return {Kind::Literal, left, top, 0, kBoxHeight, text, -1, kLeft, false, face};
}

Item value(int slot, double left, double top, double width, Qt::Alignment align = kLeft,
           bool underline = true) {
    return {Kind::Value, left, top,   width,     kBoxHeight,
            nullptr,     slot, align, underline, Face::Normal};
}

Item right(int slot, double left, double top, double width) {
    return value(slot, left, top, width, kRight);
}

// Block E's value places have no line under them.
Item place(int slot, double left, double top, double width, Qt::Alignment align = kLeft) {
    return value(slot, left, top, width, align, false);
}

Item box(int slot, double left, double top) {
    return {Kind::Box, left, top, 3.4, 3.7, nullptr, slot, kCentre, false, Face::Normal};
}

struct Frame {
    double left, top, width, height;
    bool grey;
};

// Behind the texts: five blocks of two rectangles each, in the order they are drawn. The two
// halves of a block overlap; the one drawn last shows its dividing edge, and in blocks A and B
// only the left half's edge falls clear of every text.
const Frame kFrames[] = {
    {46.6, 0, 149.2, 15.1, false},   {0, 0, 57.7, 15.1, false},
    {99.5, 21.2, 96.3, 27.8, false}, {0, 21.2, 112.7, 27.8, false},
    {0, 48.7, 114.8, 34.1, false},   {112.2, 48.7, 83.6, 34.1, false},
    {0, 88.9, 101.1, 40.5, false},   {100.5, 88.9, 95.3, 40.5, true},
    {0, 122.8, 95.5, 44.7, true},    {95.3, 122.8, 100.5, 44.7, true},
};

constexpr double kValue = 29.1;  // block B's value width
constexpr double kName = 55.3;   // the people and organisation names

const std::vector<Item>& detailItems() {
    static const std::vector<Item> items = {
        // Block A
        caption(2.1, 2.1, "diven"),
        value(RunningNumber, 31.8, 2.1, 8.7, kCentre),
        literal(41.8, 2.1, "/"),
        value(DiveCount, 44.5, 2.1, 8.7, kCentre),
        caption(59.3, 2.1, "Location"),
        value(Location, 74.1, 2.1, 106.1),
        {Kind::Mark, 184.2, 2.1, 8.5, 8.7, nullptr, Certified, kLeft, false, Face::Normal},
        value(Date, 2.1, 8.5, 22.0, kLeft, false),
        value(TimeStart, 27.5, 8.5, 16.0),
        caption(59.3, 8.5, "Site"),
        value(Site, 74.1, 8.5, 106.1),
        // Block B
        caption(2.1, 23.3, "Media_Type"),
        value(MediaText, 23.3, 23.3, kValue),
        caption(59.3, 23.3, "Site_Type"),
        value(SiteTypeText, 80.4, 23.3, kValue),
        caption(114.3, 23.3, "Operator"),
        value(Operator, 137.6, 23.3, kName),
        caption(2.1, 29.6, "Activity"),
        value(ActivityText, 23.3, 29.6, kValue),
        caption(59.3, 29.6, "Dive_Type"),
        value(DiveTypeText, 80.4, 29.6, kValue),
        caption(114.3, 29.6, "School"),
        value(School, 137.6, 29.6, kName),
        value(Activity2Text, 23.3, 36.0, kValue),
        value(DiveType2Text, 80.4, 36.0, kValue),
        caption(114.3, 36.0, "Buddy"),
        value(Buddy, 137.6, 36.0, kName),
        caption(2.1, 42.3, "Rating"),
        value(Rating, 23.3, 42.3, 9.0, kCentre),
        literal(33.9, 42.3, "/ 5", Face::Wide),
        caption(59.3, 42.3, "Access"),
        value(AccessText, 80.4, 42.3, kValue),
        caption(114.3, 42.3, "Instructor"),
        value(Instructor, 137.6, 42.3, kName),
        // Block C
        caption(2.1, 50.8, "Ascent"),
        value(AscentText, 23.3, 50.8, kValue),
        caption(59.3, 50.8, "Coordinates"),
        value(Coordinates, 80.4, 50.8, kValue),
        caption(114.3, 50.8, "Team"),
        value(Team1, 137.6, 50.8, kName),
        value(DecoText, 23.3, 57.1, kValue),
        caption(59.3, 57.1, "Light"),
        value(LightText, 80.4, 57.1, kValue),
        value(Team2, 137.6, 57.1, kName),
        caption(2.1, 63.5, "Notes"),
        {Kind::Memo, 23.3, 63.5, 86.3, 17.5, nullptr, Notes, kLeft, false, Face::Normal},
        value(Team3, 137.6, 63.5, kName),
        value(Team4, 137.6, 69.8, kName),
        value(Team5, 137.6, 76.2, kName),
        // Block D
        caption(2.1, 91.0, "Depth"),
        right(Depth, 21.2, 91.0, 8.5),
        right(MaxDepth, 30.7, 91.0, 8.5),
        value(DepthUnitText, 41.0, 91.0, 5.3),
        caption(102.7, 91.0, "Visivility_Range"),
        right(Visibility, 125.4, 91.0, 8.5),
        right(VisibilityMax, 134.9, 91.0, 8.5),
        value(VisibilityUnitText, 145.0, 91.0, 5.8),
        caption(156.1, 91.0, "temperature"),
        caption(2.1, 97.4, "Bottom_time"),
        right(BottomTime, 21.2, 97.4, 18.0),
        caption(52.1, 97.4, "Sup_Interval"),
        right(SurfaceInterval, 73.3, 97.4, 18.0),
        caption(102.7, 97.4, "weather_Start"),
        value(WeatherStart, 125.4, 97.4, 18.0),
        caption(158.2, 97.4, "Air"),
        right(TempAir, 178.1, 97.4, 8.5),
        value(TempUnitText, 188.1, 97.4, 4.8),
        caption(2.1, 103.7, "Depth_Stop"),
        right(StopDepth, 21.2, 103.7, 18.0),
        value(StopDepthUnitText, 41.0, 103.7, 5.3),
        caption(52.1, 103.7, "Altitude"),
        right(Altitude, 73.3, 103.7, 18.0),
        value(AltitudeUnitText, 93.1, 103.7, 5.3),
        caption(102.7, 103.7, "weather_end"),
        value(WeatherEnd, 125.4, 103.7, 18.0),
        caption(158.2, 103.7, "Surface"),
        right(TempSurface, 178.1, 103.7, 8.5),
        value(TempUnitSurface, 188.1, 103.7, 4.8),
        caption(2.1, 110.1, "Time_Stop"),
        right(StopTime, 21.2, 110.1, 18.0),
        caption(52.1, 110.1, "gp"),
        right(GroupIn, 73.3, 110.1, 8.5),
        right(GroupOut, 82.8, 110.1, 8.5),
        caption(102.7, 110.1, "surf"),
        value(Surf, 125.4, 110.1, 18.0),
        caption(158.2, 110.1, "bottom"),
        right(TempBottom, 178.1, 110.1, 8.5),
        value(TempUnitBottom, 188.1, 110.1, 4.8),
        caption(102.7, 116.4, "current"),
        value(Current, 125.4, 116.4, 18.0),
        value(CurrentDirection, 145.0, 116.4, 5.8),
        literal(156.1, 116.4, "Waves"),
        box(Waves, 178.1, 116.4),
        caption(102.7, 122.8, "wind"),
        value(Wind, 125.4, 122.8, 18.0),
        value(WindDirection, 145.0, 122.8, 5.8),
        literal(156.1, 122.8, "Surge"),
        box(Surge, 178.1, 122.8),
        literal(156.1, 129.1, "Cold/ Stress"),
        box(Cold, 178.1, 129.1),
        // Block E
        literal(2.1, 131.2, "Pressure Start"),
        place(PressureStart, 27.0, 131.2, 12.5, kRight),
        place(PressureStartUnit, 40.2, 131.2, 8.0),
        literal(50.8, 131.2, "Pressure End"),
        place(PressureEnd, 72.8, 131.2, 11.5, kRight),
        place(PressureEndUnit, 84.7, 131.2, 8.0),
        literal(2.1, 143.9, "Thickness ('')"),
        place(Thickness, 21.2, 143.9, 18.5, kRight),
        place(ThicknessUnit, 40.2, 143.9, 8.0),
        literal(2.1, 150.3, "Weight  / Lead"),
        place(LeadWeight, 24.6, 150.3, 15.0, kRight),
        place(LeadUnit, 40.2, 150.3, 8.0),
        literal(97.4, 169.3, "DC Vendor"),
        place(DcVendor, 118.5, 169.3, 60.0),
        literal(97.4, 175.7, "Model"),
        place(DcModel, 118.5, 175.7, 60.0),
    };
    return items;
}

QFont pageFont(double points, bool bold = false) {
    QFont font(QStringLiteral("Tahoma"));
    // Where Tahoma is missing, a condensed face keeps the captions within their places.
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"),
                      QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Millimetres to the device's dots.
class Canvas {
public:
    Canvas(QPainter& painter, double dpi) : p(painter), scale_(dpi / 25.4) {}

    QRectF rect(double left, double top, double width, double height) const {
        return {left * scale_, top * scale_, width * scale_, height * scale_};
    }
    double mm(double length) const { return length * scale_; }
    bool onPaper() const { return p.device()->devType() == QInternal::Printer; }

    void frame(const QRectF& area, const QBrush& fill) {
        p.setPen(QPen(Qt::black, mm(kFrameWidth)));
        p.setBrush(fill);
        p.drawRect(area);
    }
    // Text in a box of its own width; captions may run past their place.
    void text(const QRectF& box, Qt::Alignment align, const QString& text, bool elide) {
        const QString shown =
            elide ? p.fontMetrics().elidedText(text, Qt::ElideRight, int(box.width())) : text;
        p.drawText(box, int(align | Qt::AlignVCenter | Qt::TextDontClip), shown);
    }
    // A caption longer than its room (a translation's, say) in a smaller size that fits, down
    // to a size still readable on paper.
    void caption(const QRectF& box, double room, const QString& text) {
        const QFont normal = p.font();
        const double width = widthOf(text);
        if (width > mm(room)) {
            QFont smaller = normal;
            smaller.setPointSizeF(
                std::max(kSmallestCaption, normal.pointSizeF() * mm(room) / width));
            p.setFont(smaller);
        }
        this->text(box, kLeft, text, false);
        p.setFont(normal);
    }
    // In the device's dots, in the current font.
    double widthOf(const QString& text) const {
        return QFontMetricsF(p.font(), p.device()).horizontalAdvance(text);
    }

    QPainter& p;

private:
    double scale_;
};

// How far a caption may run: to a millimetre before the next text on its line (a value
// aligned right or centred begins where its text does), else to the page's right edge.
double captionRoom(const Canvas& c, const Item& caption, const Texts& texts) {
    double end = kWidth;
    for (const Item& other : detailItems()) {
        if (other.top != caption.top || other.left <= caption.left) {
            continue;
        }
        double start = other.left;
        if (other.kind == Kind::Value && !(other.align & Qt::AlignLeft)) {
            const double free = other.width - c.widthOf(texts[other.slot]) / c.mm(1);
            start += other.align & Qt::AlignRight ? free : free / 2;
        }
        end = std::min(end, start - 1.0);
    }
    return end - caption.left;
}

void paintItem(Canvas& c, const Item& item, double bandTop, const Resources& resources,
               const Texts& texts) {
    const QRectF box = c.rect(item.left, bandTop + item.top, item.width, item.height);
    QPainter& p = c.p;
    switch (item.kind) {
        case Kind::Caption: {
            const QString key = QString::fromLatin1(item.text);
            const QString word = resources.captions.value(key.toLower());
            c.caption(box, captionRoom(c, item, texts),
                      word.isEmpty() ? QLatin1Char('<') + key + QLatin1Char('>') : word);
            return;
        }
        case Kind::Literal: {
            const QFont normal = p.font();
            if (item.face == Face::Wide) {
                p.setFont(pageFont(9));
            }
            c.text(box, kLeft, QString::fromLatin1(item.text), false);
            p.setFont(normal);
            return;
        }
        case Kind::Value:
            c.text(box, item.align, texts[item.slot], true);
            if (item.underline) {
                p.setPen(QPen(kUnderline, c.mm(kUnderlineWidth)));
                p.drawLine(box.bottomLeft(), box.bottomRight());
                p.setPen(Qt::black);
            }
            return;
        case Kind::Memo:
            p.save();
            p.setClipRect(box);
            p.drawText(box, int(Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap), texts[item.slot]);
            p.restore();
            return;
        case Kind::Box:
            p.setPen(QPen(Qt::black, c.mm(kFrameWidth)));
            p.setBrush(Qt::white);
            p.drawRect(box);
            if (!texts[item.slot].isEmpty()) {
                p.drawText(box, int(Qt::AlignCenter | Qt::TextDontClip), QStringLiteral("X"));
            }
            return;
        case Kind::Mark:
            if (texts[item.slot].isEmpty()) {
                return;
            }
            if (c.onPaper()) {
                p.drawImage(box, resources.certificationMark);
            } else {
                resources.certificationIcon.paint(&p, box.toAlignedRect());
            }
            return;
    }
}

void paintHeader(Canvas& c, const Resources& resources, const Texts& texts) {
    const QRectF band = c.rect(0, 0, kWidth, kHeaderHeight);
    c.p.fillRect(band, kHeaderColour);
    const QRectF logo = c.rect(0, 0, 52.9, kHeaderHeight);
    c.onPaper() ? c.p.drawImage(logo, resources.logo) : Logo::paint(c.p, logo);
    c.frame(band, Qt::NoBrush);
    c.p.setFont(pageFont(12, true));
    c.p.setPen(Qt::white);
    c.text(c.rect(60, 2.1, 128.6, 6), kRight, texts[MemberName], true);
    c.text(c.rect(60, 8.5, 128.6, 6), kRight, texts[Title], true);
}

void paintFooter(Canvas& c, const Texts& texts) {
    const double top = kPrintableHeight - kFooterHeight;
    c.frame(c.rect(0, top, kWidth, kFooterHeight), kGrey);
    c.p.setFont(pageFont(8));
    c.p.setPen(Qt::black);
    c.text(c.rect(2.1, top + 2.1, 80, kBoxHeight), kLeft, texts[AppTitle], true);
    c.text(c.rect(97.8 - 20, top + 2.1, 40, kBoxHeight), kCentre, texts[PageNumber], true);
    c.text(c.rect(108.4, top + 2.1, 80, kBoxHeight), kRight, texts[PrintedAt], true);
}

void paintDetail(Canvas& c, const Resources& resources, const Texts& texts) {
    const double top = kHeaderHeight;
    for (const Frame& f : kFrames) {
        c.frame(c.rect(f.left, top + f.top, f.width, f.height), f.grey ? kGrey : Qt::white);
    }
    c.p.setFont(pageFont(8));
    c.p.setPen(Qt::black);
    for (const Item& item : detailItems()) {
        paintItem(c, item, top, resources, texts);
    }
}

}  // namespace

QStringList captionKeys() {
    QStringList keys;
    for (const Item& item : detailItems()) {
        if (item.kind == Kind::Caption) {
            keys << QString::fromLatin1(item.text);
        }
    }
    return keys;
}

void paint(QPainter& painter, double dpi, const Resources& resources, const Texts& texts,
           bool detail) {
    painter.save();
    // Frames and lines stay crisp on screen; pictures are scaled smoothly.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    Canvas canvas(painter, dpi);
    paintHeader(canvas, resources, texts);
    if (detail) {
        paintDetail(canvas, resources, texts);
    }
    paintFooter(canvas, texts);
    painter.restore();
}

}  // namespace DivePage
