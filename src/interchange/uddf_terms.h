#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// The UDDF words for what the tables keep as codes, both ways. Where UDDF distinguishes less
// than the tables (or more), a code goes out as its nearest word and comes back as that word's
// code; the README lists which codes come back unchanged.
namespace UddfTerms {

inline constexpr int kChamber = 3;  // Dive_Media of a hyperbaric chamber

int access(QStringView platform);
QString platform(int access);  // empty when UDDF has no word for it

int activity(QStringView purpose);
QString purpose(int activity);

int current(QStringView current);
QString currentWord(int current);

bool cold(QStringView thermalComfort);

// Site_type from a site's environment, or Dive_Media for a hyperbaric chamber; each is left as
// it is when the environment does not say (whether the water is salt is the density's to say).
void environment(QStringView environment, int& siteType, int& media);
QString environmentWord(int siteType, int media);

// Salt water (1) from a density of 1,010 kg/m3 up, fresh water (2) below.
int mediaOfDensity(double kilogramsPerCubicMetre);
std::optional<double> densityOf(int media);

// gas_mix for a mix of these fractions of oxygen and helium.
int gasOfMix(double o2, double he);
struct MixFractions {
    double o2;
    double he;
};
// Empty for "other mix" and codes without a composition.
std::optional<MixFractions> mixOfGas(int gas);

}  // namespace UddfTerms
