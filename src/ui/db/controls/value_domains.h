#pragma once

#include <QString>
#include <QStringList>

// Which small integer stands for which choice in the coded fields of the dive editor. Items
// written "<key>" are dictionary keys translated with the window; an empty item is a choice
// with empty text; the others are shown as they stand. `values` runs parallel to `items` and
// may hold codes that no item shows (a dive may carry them) or lack a value for a last item
// (choosing it stores null).
struct ValueDomain {
    QStringList items;
    QStringList values;
};

// The values stored by a check box.
struct CheckValues {
    QString checked;
    QString unchecked;
};

namespace ValueDomains {

ValueDomain environment();      // Dive_Media
ValueDomain diveType();         // Dive_Type
ValueDomain secondDiveType();   // Dive_type2
ValueDomain siteType();         // Site_type, advanced page
ValueDomain simpleSiteType();   // Site_type, simple page: pool and quarry the other way round
ValueDomain access();           // Access_Type
ValueDomain activity();         // Activity, Activity2
QStringList ratingItems();      // dive_rating: a plain selector, the digits stored as shown
ValueDomain distanceUnit();     // depth_unit, altitude_unit, cond_visibility_unit
ValueDomain temperatureUnit();  // cond_temp_unit
ValueDomain pressureUnit();     // pres_unit
ValueDomain weather();          // cond_tiempo_in, cond_tiempo_out
ValueDomain simpleWeather();    // Simple_Weather: no empty first item
ValueDomain strength();         // cond_Surf, cond_Current, cond_wind
ValueDomain simpleStrength();   // Simple_Current: no empty first item
ValueDomain gas();              // the third stop's gas
ValueDomain gasWithBlank();     // gas_mix and the first two stops: a seventh, empty item
ValueDomain tankMaterial();     // cil_type
ValueDomain volumeUnit();       // cil_size_unit
ValueDomain endOrUsed();        // pres_end_used
ValueDomain thicknessUnit();    // suit_unit
ValueDomain weightUnit();       // lead_unit
ValueDomain ballast();          // lead_estado
ValueDomain ascent();           // Dive_Nivel, in the advanced dive information window
ValueDomain decompression();    // Dive_Deco, in the advanced dive information window

CheckValues flag();       // every flag field: 1 checked, 0 unchecked
CheckValues saltWater();  // Simple_Saltwater on Dive_Media: 1 salt water, 2 fresh water

}  // namespace ValueDomains
