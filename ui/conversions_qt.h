// The one place where the core's Windows-1252 texts and day-count timestamps meet Qt's
// Unicode strings and date types.
#pragma once

#include <QDateTime>
#include <QString>
#include <QTime>
#include <string>
#include <string_view>

namespace tarvo {

// Windows-1252 bytes to a Qt string, and back (a character outside the code page becomes "?").
QString qt(std::string_view cp1252);
std::string cp(const QString& texte);

// Timestamps are days since 30/12/1899, local time without a zone.
QDateTime date_qt(double jours);
double jours_de(const QDateTime& date);
// A time of day as a fraction of a day, to the second.
QTime heure_qt(double fraction);
double fraction_de(QTime heure);

}  // namespace tarvo
