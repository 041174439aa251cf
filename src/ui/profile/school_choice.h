#pragma once

#include <QString>

class QWidget;

// An organisation of the directory: its number and name.
struct ChosenOrganization {
    int id = 0;
    QString name;  // empty when nothing was chosen
};

// Lets the diver pick the school that issued a certificate from the cached directory, starting
// from the one the certificate names; an empty name means no choice was made.
ChosenOrganization chooseSchool(QWidget* owner, int id, const QString& name);
