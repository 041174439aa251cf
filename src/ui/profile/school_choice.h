#pragma once

#include <QString>

class QWidget;

// The one place the certificate editor reaches the directory of organisations: lets the diver
// pick the school that issued a certificate, starting from the one the certificate names
// (`id`, `name`). True, with `id` and `name` set to the school chosen, when one was chosen;
// false, with both unchanged, otherwise.
bool chooseSchool(QWidget* owner, int& id, QString& name);
