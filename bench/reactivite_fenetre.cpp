// How the main window behaves during a long run: the longest wait of the event loop (how
// long the window goes without repainting), how often the durations label changes, and
// how long the run takes to end once the stop button is answered "Oui".
//   tarvo_bench_fenetre DESCRIPTION SECONDES_AVANT_ARRET
#include <QAbstractButton>
#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimeEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"
#include "plateforme/doubles/dialogue_direct.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/presse_papier_memoire.h"
#include "plateforme/doubles/sortie_audio_enregistreuse.h"
#include "session/session.h"
#include "ui/conversions_qt.h"
#include "ui/programme_bureau.h"

namespace {

QDateTime date_de(const std::string& texte) {
    std::string canonique;
    tarvo::JournalSuivi journal;
    return tarvo::date_qt(tarvo::texte_vers_date_heure(texte, canonique, journal));
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage : %s DESCRIPTION SECONDES_AVANT_ARRET\n", argv[0]);
        return 2;
    }
    const double avant_arret = std::atof(argv[2]);
    const auto programme = std::filesystem::temp_directory_path() / "tarvo-bench-fenetre";
    std::filesystem::remove_all(programme);
    std::filesystem::create_directories(programme);

    // Oui to every question, the stop question too; a three-button box is closed.
    tarvo::DialogueDirect dialogue(2);
    tarvo::LanceurEnregistreur lanceur;
    tarvo::PressePapierMemoire presse_papier;
    tarvo::SortieAudioEnregistreuse audio;
    tarvo::ServicesFenetre services{&dialogue, &lanceur, &presse_papier, &audio, {}, {}};
    tarvo::ProgrammeBureau bureau(programme.string() + "/tarvo", programme.string() + "/",
                                  {argv[1]}, services);
    tarvo::FenetrePrincipale& fenetre = bureau.fenetre();
    fenetre.show();
    fenetre.demarrer();
    const auto trouver = [&](const char* nom) { return fenetre.findChild<QWidget*>(nom); };

    // The period the description was last processed for, an hour apart.
    const auto& d = fenetre.session().description;
    static_cast<QDateEdit*>(trouver("DatePicker_deb"))->setDate(date_de(d.Label_min_dsc).date());
    static_cast<QDateEdit*>(trouver("DatePicker_fin"))->setDate(date_de(d.Label_max_dsc).date());
    static_cast<QTimeEdit*>(trouver("TimePicker_pas"))->setTime(QTime(1, 0));
    static_cast<QAbstractButton*>(trouver("SpeedButton_lister"))->click();

    QElapsedTimer horloge;
    horloge.start();
    std::vector<double> attentes;
    std::vector<double> changements_label6;
    double dernier_tic = 0, clic_arret = -1;
    QString label6;
    auto* Label6 = static_cast<QLabel*>(trouver("Label6"));
    QTimer sonde;
    QObject::connect(&sonde, &QTimer::timeout, [&] {
        const double t = horloge.elapsed() / 1000.0;
        if (!fenetre.session().traitement_en_cours) return;
        attentes.push_back(t - dernier_tic);
        dernier_tic = t;
        if (Label6->text() != label6) {
            label6 = Label6->text();
            changements_label6.push_back(t);
        }
        if (clic_arret < 0 && t >= avant_arret) {
            clic_arret = t;
            static_cast<QAbstractButton*>(trouver("SpeedButton_stop"))->click();
        }
    });
    label6 = Label6->text();
    sonde.start(5);
    dernier_tic = horloge.elapsed() / 1000.0;
    static_cast<QAbstractButton*>(trouver("SpeedButton_traiter_fichier"))->click();
    const double fin = horloge.elapsed() / 1000.0;
    sonde.stop();

    std::sort(attentes.begin(), attentes.end());
    const auto centile = [&](double p) {
        return attentes.empty() ? 0.0
                                : attentes[static_cast<std::size_t>(p * (attentes.size() - 1))];
    };
    double ecart_min = 1e9;
    for (std::size_t i = 1; i < changements_label6.size(); ++i)
        ecart_min = std::min(ecart_min, changements_label6[i] - changements_label6[i - 1]);
    std::printf("passes de la boucle d'événements pendant le traitement : %zu\n", attentes.size());
    std::printf(
        "attente entre deux passes : médiane %.3f s, 99e centile %.3f s, max %.3f s (cible < 0,1 s)\n",
        centile(0.5), centile(0.99), centile(1.0));
    std::printf("Label6 changé %zu fois, écart minimal %.3f s (cible >= ~1 s)\n",
                changements_label6.size(), changements_label6.size() > 1 ? ecart_min : 0.0);
    if (clic_arret >= 0)
        std::printf(
            "arrêt demandé à %.3f s, traitement fini à %.3f s : %.3f s après (cible < 0,2 s)\n",
            clic_arret, fin, fin - clic_arret);
    else
        std::printf("traitement fini en %.3f s, avant la demande d'arrêt\n", fin);
    std::printf("résultat : %s\n", fenetre.session().fichier_resultat.c_str());
    return clic_arret >= 0 && fin - clic_arret < 0.2 && centile(1.0) < 0.1 ? 0 : 1;
}
