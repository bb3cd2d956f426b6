// The desktop program: the main window over a session, started on the description given
// on the command line, or on the shipped example the very first time.
#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <filesystem>
#include <string>
#include <vector>

#include "description/fichiers_programme.h"
#include "formats/fichiers.h"
#include "ui/conversions_qt.h"
#include "ui/plateforme_qt.h"
#include "ui/programme_bureau.h"

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

// The user's own copy of the example, beside the program's settings: the shipped one may
// lie in a read-only directory where no result could be written.
std::string copie_de_l_exemple(const std::string& exemple, const std::string& dossier_programme) {
    namespace fs = std::filesystem;
    const fs::path source = fs::path(exemple).parent_path();
    const fs::path copie = fs::path(dossier_programme) / "exemples";
    std::error_code erreur;
    fs::create_directories(copie / "EXPORT", erreur);
    for (const auto& f : fs::directory_iterator(source, erreur))
        if (f.is_regular_file())
            fs::copy_file(f.path(), copie / f.path().filename(), fs::copy_options::skip_existing,
                          erreur);
    const fs::path dsc = copie / fs::path(exemple).filename();
    return fs::exists(dsc) && fs::exists(copie / "EXPORT") ? dsc.string() : exemple;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    tarvo::charger_traductions_qt();
    std::vector<std::string> arguments;
    for (const QString& a : application.arguments().mid(1)) arguments.push_back(tarvo::cp(a));

    const std::string& dossier = tarvo::dossier_programme();
    if (arguments.empty() && !tarvo::existe(tarvo::fichier_prm(dossier))) {
        if (const std::string livre = exemple_livre(QCoreApplication::applicationDirPath());
            !livre.empty())
            arguments.push_back(copie_de_l_exemple(livre, dossier));
    }
    tarvo::ProgrammeBureau programme(tarvo::cp(QCoreApplication::applicationFilePath()), dossier,
                                     arguments);
    tarvo::FenetrePrincipale& fenetre = programme.fenetre();
    fenetre.showMaximized();
    QTimer::singleShot(0, &fenetre, [&fenetre] { fenetre.demarrer(); });
    return QApplication::exec();
}
