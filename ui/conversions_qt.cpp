#include "ui/conversions_qt.h"

#include <cmath>

#include "formats/cp1252.h"

namespace tarvo {

namespace {
const QDate origine(1899, 12, 30);
}  // namespace

QString qt(std::string_view cp1252) {
    return QString::fromStdString(cp1252_vers_utf8(cp1252));
}

std::string cp(const QString& texte) {
    return utf8_vers_cp1252(texte.toStdString());
}

QDateTime date_qt(double jours) {
    const long long secondes = std::llround(jours * 86400.0);
    const long long j = secondes >= 0 ? secondes / 86400 : -((-secondes + 86399) / 86400);
    return QDateTime(origine.addDays(j),
                     QTime(0, 0).addSecs(static_cast<int>(secondes - j * 86400)));
}

double jours_de(const QDateTime& date) {
    return static_cast<double>(origine.daysTo(date.date())) + fraction_de(date.time());
}

QTime heure_qt(double fraction) {
    const long long s = std::llround((fraction - std::floor(fraction)) * 86400.0) % 86400;
    return QTime(0, 0).addSecs(static_cast<int>(s));
}

double fraction_de(QTime heure) {
    return QTime(0, 0).secsTo(heure) / 86400.0;
}

}  // namespace tarvo
