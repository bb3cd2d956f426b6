// The desktop program: the main window over a session, started on the description given
// on the command line, or on the shipped example the very first time.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <filesystem>
#include <string>
#include <vector>

#include "description/fichiers_programme.h"
#include "formats/fichiers.h"
#include "ui/conversions_qt.h"
#include "ui/fenetre_principale.h"

namespace {

// The example beside the program once installed, or in the source tree of a build.
std::string exemple_livre(const QString& dossier_executable) {
    for (const QString& chemin : {dossier_executable + "/../share/tarvo/exemples/LeGue_horaire.dsc",
                                  QStringLiteral(TARVO_EXEMPLES "/LeGue_horaire.dsc")}) {
        const QFileInfo f(chemin);
        if (f.exists()) return tarvo::cp(f.canonicalFilePath());
    }
    return {};
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    std::vector<std::string> arguments;
    for (const QString& a : application.arguments().mid(1)) arguments.push_back(tarvo::cp(a));

    const std::string& dossier = tarvo::dossier_programme();
    if (arguments.empty() && !tarvo::existe(tarvo::fichier_prm(dossier))) {
        // First start: the example's directories are written relative to its parent.
        if (const std::string exemple = exemple_livre(QCoreApplication::applicationDirPath());
            !exemple.empty()) {
            arguments.push_back(exemple);
            QDir::setCurrent(QFileInfo(tarvo::qt(exemple)).dir().absolutePath() + "/..");
        }
    }
    tarvo::FenetrePrincipale fenetre(tarvo::cp(QCoreApplication::applicationFilePath()), dossier,
                                     arguments);
    fenetre.show();
    QTimer::singleShot(0, &fenetre, [&fenetre] { fenetre.demarrer(); });
    return QApplication::exec();
}
