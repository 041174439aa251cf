#include "reports/tfrm_report.h"

#include "app/settings/app_error.h"
#include "app/settings/regional_formats.h"
#include "app/settings/tdm_const.h"
#include "dictionary/tdm_idioma.h"
#include "reports/value_texts.h"
#include "store/dive_detail_rows.h"
#include "store/table_data.h"
#include "store/tdm_rdp.h"
#include "ui/forms/logo.h"
#include "ui/main/main_icons.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

namespace {

using namespace DivePage;

enum class Source { Dive, Conditions, Equipment };
// Plain: the field's display text. Date: "dd/mm/yyyy". Coded: the value list's shown text.
// Flag: "X" when set.
enum class Form { Plain, Date, Coded, Flag };

struct PageField {
    Slot slot;
    Source source;
    const char* name;
    Form form;
    ValueDomain (*domain)();
};

const PageField kFields[] = {
    {Location, Source::Dive, "Location", Form::Plain, nullptr},
    {Date, Source::Dive, "Date", Form::Date, nullptr},
    {TimeStart, Source::Dive, "Time_Start", Form::Plain, nullptr},
    {Site, Source::Dive, "Site", Form::Plain, nullptr},
    {Operator, Source::Dive, "operator", Form::Plain, nullptr},
    {School, Source::Dive, "school", Form::Plain, nullptr},
    {Buddy, Source::Dive, "buddy", Form::Plain, nullptr},
    {Rating, Source::Dive, "dive_rating", Form::Plain, nullptr},
    {Instructor, Source::Dive, "instructor", Form::Plain, nullptr},
    {Coordinates, Source::Dive, "coordinates", Form::Plain, nullptr},
    {Team1, Source::Dive, "team1", Form::Plain, nullptr},
    {Team2, Source::Dive, "team2", Form::Plain, nullptr},
    {Team3, Source::Dive, "team3", Form::Plain, nullptr},
    {Team4, Source::Dive, "team4", Form::Plain, nullptr},
    {Team5, Source::Dive, "team5", Form::Plain, nullptr},
    {MediaText, Source::Dive, "Dive_Media", Form::Coded, ValueDomains::environment},
    {ActivityText, Source::Dive, "Activity", Form::Coded, ValueDomains::activity},
    {Activity2Text, Source::Dive, "Activity2", Form::Coded, ValueDomains::activity},
    {SiteTypeText, Source::Dive, "Site_type", Form::Coded, ValueDomains::siteType},
    {DiveTypeText, Source::Dive, "Dive_Type", Form::Coded, ValueDomains::diveType},
    {DiveType2Text, Source::Dive, "Dive_type2", Form::Coded, ValueDomains::secondDiveType},
    {AccessText, Source::Dive, "Access_Type", Form::Coded, ValueDomains::access},
    {AscentText, Source::Dive, "Dive_Nivel", Form::Coded, ValueDomains::ascent},
    {DecoText, Source::Dive, "Dive_Deco", Form::Coded, ValueDomains::decompression},
    {Notes, Source::Conditions, "observations", Form::Plain, nullptr},
    {Depth, Source::Conditions, "depth", Form::Plain, nullptr},
    {MaxDepth, Source::Conditions, "max_depth", Form::Plain, nullptr},
    {DepthUnitText, Source::Conditions, "depth_unit", Form::Coded, ValueDomains::distanceUnit},
    {Visibility, Source::Conditions, "cond_visibility", Form::Plain, nullptr},
    {VisibilityMax, Source::Conditions, "cond_visibility_Max", Form::Plain, nullptr},
    {VisibilityUnitText, Source::Conditions, "cond_visibility_unit", Form::Coded,
     ValueDomains::distanceUnit},
    {BottomTime, Source::Conditions, "bottom_time", Form::Plain, nullptr},
    {SurfaceInterval, Source::Conditions, "dive_si", Form::Plain, nullptr},
    {WeatherStart, Source::Conditions, "cond_tiempo_in", Form::Coded, ValueDomains::weather},
    {TempAir, Source::Conditions, "cond_temp_air", Form::Plain, nullptr},
    {TempUnitText, Source::Conditions, "cond_temp_unit", Form::Coded,
     ValueDomains::temperatureUnit},
    {TempUnitSurface, Source::Conditions, "cond_temp_unit", Form::Coded,
     ValueDomains::temperatureUnit},
    {TempUnitBottom, Source::Conditions, "cond_temp_unit", Form::Coded,
     ValueDomains::temperatureUnit},
    {StopDepth, Source::Conditions, "stop_depth", Form::Plain, nullptr},
    {StopDepthUnitText, Source::Conditions, "depth_unit", Form::Coded, ValueDomains::distanceUnit},
    {Altitude, Source::Conditions, "altitude", Form::Plain, nullptr},
    {AltitudeUnitText, Source::Conditions, "altitude_unit", Form::Coded,
     ValueDomains::distanceUnit},
    {WeatherEnd, Source::Conditions, "cond_tiempo_out", Form::Coded, ValueDomains::weather},
    {TempSurface, Source::Conditions, "cond_temp_surf", Form::Plain, nullptr},
    {StopTime, Source::Conditions, "stop", Form::Plain, nullptr},
    {GroupIn, Source::Conditions, "GP_in", Form::Plain, nullptr},
    {GroupOut, Source::Conditions, "GP_out", Form::Plain, nullptr},
    {Surf, Source::Conditions, "cond_Surf", Form::Coded, ValueDomains::strength},
    {TempBottom, Source::Conditions, "cond_temp_bottom", Form::Plain, nullptr},
    {Current, Source::Conditions, "cond_Current", Form::Coded, ValueDomains::strength},
    {CurrentDirection, Source::Conditions, "cond_Current_dir", Form::Plain, nullptr},
    {Waves, Source::Conditions, "cond_xWaves", Form::Flag, nullptr},
    {Wind, Source::Conditions, "cond_wind", Form::Coded, ValueDomains::strength},
    {WindDirection, Source::Conditions, "cond_wind_dir", Form::Plain, nullptr},
    {Surge, Source::Conditions, "cond_xSurge", Form::Flag, nullptr},
    {Cold, Source::Conditions, "cond_cold", Form::Flag, nullptr},
    {PressureStart, Source::Equipment, "pres_in", Form::Plain, nullptr},
    {PressureStartUnit, Source::Equipment, "pres_unit", Form::Coded, ValueDomains::pressureUnit},
    {PressureEnd, Source::Equipment, "pres_out", Form::Plain, nullptr},
    {PressureEndUnit, Source::Equipment, "pres_unit", Form::Coded, ValueDomains::pressureUnit},
    {Thickness, Source::Equipment, "suit_medida", Form::Plain, nullptr},
    {ThicknessUnit, Source::Equipment, "suit_unit", Form::Coded, ValueDomains::thicknessUnit},
    {LeadWeight, Source::Equipment, "lead_weight", Form::Plain, nullptr},
    {LeadUnit, Source::Equipment, "lead_unit", Form::Coded, ValueDomains::weightUnit},
    {DcVendor, Source::Equipment, "Dc_Vendor", Form::Plain, nullptr},
    {DcModel, Source::Equipment, "Dc_Model", Form::Plain, nullptr},
};

const char* const kLightFields[] = {"dive_day", "dive_night", "dive_sunrise", "dive_sunset"};
const char* const kLightWords[] = {"day", "night", "sunrise", "sunset"};

// The pictures at about 600 dots per inch: sharp on paper, and embedded once in a document
// however many pages show them.
constexpr double kPictureDpi = 600;

QImage logoPicture() {
    QImage image(int(52.9 / 25.4 * kPictureDpi), int(15.9 / 25.4 * kPictureDpi),
                 QImage::Format_RGB32);
    QPainter painter(&image);
    Logo::paint(painter, image.rect());
    return image;
}

QImage certificationPicture() {
    const int side = int(8.7 / 25.4 * kPictureDpi);
    return MainIcons::certified().pixmap(side, side).toImage();
}

QString word(const QString& key) {
    return dmIdioma ? dmIdioma->GetWord(key) : key;
}

}  // namespace

struct TFrmReport::Field {
    Slot slot;
    Source source;
    int index;
    Form form;
    ValueDomain words;
};

TFrmReport::TFrmReport(QObject* owner) : QObject(owner) {}

TFrmReport::~TFrmReport() = default;

void TFrmReport::FormCreate() {
    translate();
    title_ = word(QStringLiteral("dive_details"));
    appTitle_ = dm_const ? dm_const->AppTitle : QString();
    printedAt_ = QDateTime::currentDateTime();
    resources_.logo = logoPicture();
    resources_.certificationMark = certificationPicture();
    resources_.certificationIcon = MainIcons::certified();
    readLog();
}

void TFrmReport::translate() {
    for (const QString& key : DivePage::captionKeys()) {
        resources_.captions.insert(key.toLower(), word(key));
    }
    for (int i = 0; i < 4; ++i) {
        lightWords_[i] = word(QString::fromLatin1(kLightWords[i])) + QLatin1Char(' ');
    }
}

void TFrmReport::readLog() {
    Table* member = dm_rdp->cds_info;
    memberName_ = member->active() && member->recordCount() > 0
                      ? member->asString(QStringLiteral("name"))
                      : QString();
    dives_ = dm_rdp->cds_dives->snapshot();
    conditions_ = std::make_unique<DiveDetailRows>(*dm_rdp->cds_conditions);
    equipment_ = std::make_unique<DiveDetailRows>(*dm_rdp->cds_equipment);
    const RecordLayout& dives = *dives_->layout;
    fields_.clear();
    for (const PageField& def : kFields) {
        const QString name = QString::fromLatin1(def.name);
        const int index = def.source == Source::Dive         ? dives.indexOf(name)
                          : def.source == Source::Conditions ? conditions_->field(name)
                                                             : equipment_->field(name);
        fields_.push_back({def.slot, def.source, index, def.form,
                           def.domain ? ValueTexts::translated(def.domain()) : ValueDomain()});
    }
    certifyBy_ = dives.indexOf(u"certify_by");
    for (int i = 0; i < 4; ++i) {
        lightFields_[i] = dives.indexOf(QString::fromLatin1(kLightFields[i]));
    }
}

int TFrmReport::pageCount() const {
    return dives_ ? qMax(1, int(dives_->rows.size())) : 1;
}

DivePage::Texts TFrmReport::pageTexts(int page) const {
    Texts texts;
    texts[MemberName] = memberName_;
    texts[Title] = title_;
    texts[AppTitle] = appTitle_;
    texts[PageNumber] = QString::number(page + 1);
    texts[PrintedAt] = RegionalFormats::formatDateTime(printedAt_);
    if (!dives_ || page >= dives_->rows.size()) {
        return texts;
    }
    texts[RunningNumber] = QString::number(page + 1);
    texts[DiveCount] = QString::number(dives_->rows.size());
    fillFields(texts, page);
    const Row& dive = dives_->rows[page];
    if (dives_->layout->integer(dive, certifyBy_) > 0) {
        texts[Certified] = QStringLiteral("1");
    }
    texts[LightText] = lightText(page);
    return texts;
}

void TFrmReport::fillFields(DivePage::Texts& texts, int row) const {
    const Row& dive = dives_->rows[row];
    const RecordLayout& layout = *dives_->layout;
    const int local = int(layout.integer(dive, layout.indexOf(u"id_local_dive")));
    const Row* conditions = conditions_->of(local);
    const Row* equipment = equipment_->of(local);
    for (const Field& field : fields_) {
        QVariant value;
        switch (field.source) {
            case Source::Dive:
                value = layout.value(dive, field.index);
                break;
            case Source::Conditions:
                value = conditions_->value(conditions, field.index);
                break;
            case Source::Equipment:
                value = equipment_->value(equipment, field.index);
                break;
        }
        QString& text = texts[field.slot];
        switch (field.form) {
            case Form::Plain:
                text = RegionalFormats::formatValue(value);
                break;
            case Form::Date:
                text = value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
                break;
            case Form::Coded:
                text = ValueTexts::shownText(field.words, value.toInt());
                break;
            case Form::Flag:
                text = value.toInt() != 0 ? QStringLiteral("X") : QString();
                break;
        }
    }
}

QString TFrmReport::lightText(int row) const {
    const Row& dive = dives_->rows[row];
    QString text;
    for (int i = 0; i < 4; ++i) {
        if (dives_->layout->integer(dive, lightFields_[i]) == 1) {
            text += lightWords_[i];
        }
    }
    return text;
}

void TFrmReport::paintPage(QPainter& painter, int page, double dpi) const {
    const bool detail = dives_ && page < dives_->rows.size();
    DivePage::paint(painter, dpi, resources_, pageTexts(page), detail);
}

void TFrmReport::setUpPrinter(QPrinter& printer) const {
    printer.setPageLayout(QPageLayout(
        QPageSize(QPageSize::Letter), QPageLayout::Portrait,
        QMarginsF(DivePage::kMargin, DivePage::kMargin, DivePage::kMargin, DivePage::kMargin),
        QPageLayout::Millimeter));
    printer.setDocName(title_);
    printer.setCreator(appTitle_);
}

bool TFrmReport::print(QPrinter& printer, const Progress& progress) const {
    setUpPrinter(printer);
    const int count = pageCount();
    const int first = printer.fromPage() > 0 ? qMin(printer.fromPage(), count) - 1 : 0;
    const int last = printer.toPage() > 0 ? qMin(printer.toPage(), count) - 1 : count - 1;
    QPainter painter;
    if (!painter.begin(&printer)) {
        throw AppError(QStringLiteral("The printer could not start: %1")
                           .arg(printer.outputFileName().isEmpty() ? printer.printerName()
                                                                   : printer.outputFileName()));
    }
    const double dpi = printer.resolution();
    for (int page = first; page <= last; ++page) {
        if (page > first) {
            printer.newPage();
        }
        paintPage(painter, page, dpi);
        if (progress && !progress(page - first + 1, last - first + 1)) {
            printer.abort();
            return false;
        }
    }
    painter.end();
    return true;
}
