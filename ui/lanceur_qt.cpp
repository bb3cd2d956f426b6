#include "ui/lanceur_qt.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

#include "ui/conversions_qt.h"

namespace tarvo {

namespace {

// The executable the setting names, or the empty text when it is not on this machine.
QString programme_editeur(const QString& reglage) {
    const QStringList mots =
        reglage.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (mots.isEmpty()) return {};
    const QString& programme = mots.front();
    const QFileInfo fichier(programme);
    if (fichier.isAbsolute())
        return fichier.isFile() && fichier.isExecutable() ? programme : QString();
    return QStandardPaths::findExecutable(programme);
}

}  // namespace

bool LanceurQt::ouvrir_dans_editeur(std::string_view chemin) {
    const QString programme = programme_editeur(qt(editeur_ ? editeur_() : std::string()));
    return !programme.isEmpty() && QProcess::startDetached(programme, {qt(chemin)});
}

bool LanceurQt::ouvrir_document(std::string_view chemin_ou_adresse) {
    const QString texte = qt(chemin_ou_adresse);
    // An existing file wins over a name that merely looks like an address ("c:…").
    if (!QFileInfo::exists(texte)) {
        const QUrl adresse(texte, QUrl::StrictMode);
        if (adresse.isValid() && adresse.scheme().size() > 1)
            return QDesktopServices::openUrl(adresse);
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(texte));
}

bool LanceurQt::eteindre_machine(std::string_view message) {
    return QProcess::startDetached(QStringLiteral("shutdown"),
                                   {QStringLiteral("-h"), QStringLiteral("+1"), qt(message)});
}

}  // namespace tarvo
