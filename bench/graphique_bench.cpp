// The graph window at its limits: five charts of 15 series of 20,000 points each, redrawn
// and painted offscreen, then a wheel zoom repainted; prints the times it measured.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QWheelEvent>
#include <cstdio>
#include <filesystem>

#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/presse_papier_memoire.h"
#include "plateforme/doubles/progression_scriptee.h"
#include "session/session.h"
#include "ui/fenetre_graphique.h"
#include "ui/graphe.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    constexpr int n = 20000, colonnes = 75;
    tarvo::DialogueScripte dialogue;
    tarvo::ProgressionScriptee progression;
    tarvo::LanceurEnregistreur lanceur;
    tarvo::PressePapierMemoire presse_papier;
    tarvo::Session session(dialogue, progression, lanceur, presse_papier,
                           std::filesystem::temp_directory_path().string() + "/");
    std::vector<double> dates;
    for (int i = 1; i <= n; ++i) dates.push_back(45444.0 + (i - 1) / 1440.0);
    tarvo::TableEtapes& t = session.etapes;
    t.dimensionner(dates, colonnes + 2);
    for (int m = 2; m <= t.K(); ++m)
        t.titres_colonnes[static_cast<std::size_t>(m)] = "mesure " + std::to_string(m);
    for (int i = 1; i <= n; ++i) {
        for (int m = 2; m < t.K(); ++m) {
            const auto c = t.indice(i, m);
            t.valeur[c] = 10 + m + 5 * std::sin(i / 300.0 + m);
            t.nb_ok[c] = 1;
            // A sensor out now and then: each series is a few dozen runs, as real data is.
            if ((i + 37 * m) % 700 == 0) t.na[c] = 1;
        }
        t.nb_lignes_etape(i) = 1;
    }
    session.parametres_grille.TimePicker_pas = 1.0 / 1440;
    session.extraction.nb_lignes_extraites = n;
    std::string texte;
    for (int k = 0; k < 5; ++k) {
        for (int p = 15 * k; p < 15 * k + 15; ++p) texte += std::to_string(p) + ",";
        texte += ";";
    }
    session.description.suite_coche_liste_graph = texte;

    tarvo::FenetreGraphique fenetre(session, dialogue);
    fenetre.resize(1280, 800);
    QElapsedTimer horloge;
    horloge.start();
    fenetre.ouvrir();
    fenetre.grab();
    std::printf("ouverture, 5 x 15 x %d points : %lld ms\n", n,
                static_cast<long long>(horloge.elapsed()));

    horloge.restart();
    fenetre.findChild<QAbstractButton*>(QStringLiteral("Button_af_les_graph"))->click();
    std::printf("Visualiser, series refaites   : %lld ms\n",
                static_cast<long long>(horloge.elapsed()));
    fenetre.grab();
    std::printf("Visualiser, fenetre repeinte : %lld ms (cible < 1000)\n",
                static_cast<long long>(horloge.elapsed()));

    tarvo::Graphe* deux = fenetre.graphe(2);
    const QPoint ici = fenetre.mapToGlobal(deux->geometry().center());
    QWheelEvent roue(fenetre.mapFromGlobal(ici), ici, {}, QPoint(0, 120), Qt::NoButton, {},
                     Qt::NoScrollPhase, false);
    horloge.restart();
    QApplication::sendEvent(&fenetre, &roue);
    deux->grab();
    std::printf("roulette, graphe repeint      : %lld ms (cible < 100)\n",
                static_cast<long long>(horloge.elapsed()));
    horloge.restart();
    QApplication::sendEvent(&fenetre, &roue);
    fenetre.grab();
    std::printf("roulette, fenetre repeinte    : %lld ms\n",
                static_cast<long long>(horloge.elapsed()));
    return 0;
}
