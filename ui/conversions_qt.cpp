#include "ui/conversions_qt.h"

#include <cmath>

#include "formats/cp1252.h"
#include "formats/date_canonique.h"

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
    const long long secondes = std::llround(jours * jour_en_secondes);
    const long long j = secondes >= 0 ? secondes / secondes_par_jour
                                      : -((-secondes + secondes_par_jour - 1) / secondes_par_jour);
    return QDateTime(origine.addDays(j),
                     QTime(0, 0).addSecs(static_cast<int>(secondes - j * secondes_par_jour)));
}

double jours_de(const QDateTime& date) {
    return static_cast<double>(origine.daysTo(date.date())) + fraction_de(date.time());
}

QTime heure_qt(double fraction) {
    const long long s =
        std::llround((fraction - std::floor(fraction)) * jour_en_secondes) % secondes_par_jour;
    return QTime(0, 0).addSecs(static_cast<int>(s));
}

double fraction_de(QTime heure) {
    return QTime(0, 0).secsTo(heure) / jour_en_secondes;
}

}  // namespace tarvo
