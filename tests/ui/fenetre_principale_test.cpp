// The main window driven as a user drives it: buttons and fields found by their name,
// the boxes answered by a script, the results looked for on disk.
#include "ui/fenetre_principale.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimeEdit>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>

#include "formats/date_canonique.h"
#include "formats/fichiers.h"
#include "formats/provisoire.h"
#include "session/session.h"
#include "tests/ui/exemple_fenetre.h"
#include "ui/conversions_qt.h"
#include "ui/couleurs.h"
#include "ui/fenetre_graphique.h"

using namespace tarvo;

namespace {

// How many slots a signal of a control reaches. `receivers` is protected; naming it
// through a class derived from QObject gives a member pointer usable on any object.
struct Sonde : QObject {
    static int recepteurs(const QObject* objet, const char* signal) {
        return (objet->*(&Sonde::receivers))(signal);
    }
};

int recepteurs(const QObject* objet, std::initializer_list<const char*> signaux) {
    int n = 0;
    for (const char* signal : signaux) n += Sonde::recepteurs(objet, signal);
    return n;
}

// The controls a user acts on, by the prefixes of their documented names.
bool nom_de_commande(const QString& nom) {
    for (const char* prefixe : {"SpeedButton", "Panel_button", "Button_", "CheckBox", "RadioButton",
                                "RadioGroup_", "Edit_"})
        if (nom.startsWith(QLatin1String(prefixe))) return true;
    return false;
}

// Controls whose state is read when a command needs it, with no handler of their own.
const QStringList lus_a_l_usage = {
    QStringLiteral("CheckBox_sans_confirmation"),  // by the table deletions
    QStringLiteral("CheckBox_arret_PC"),           // as the run starts
    QStringLiteral("SpeedButton_presse_papier"),   // never shown, so never clicked
};

// Every named button, box and field of `fenetre` that nothing listens to. Buttons of a
// group are heard through their group; a read-only field only shows.
QStringList non_branches(const QWidget* fenetre) {
    QStringList r;
    for (const auto* b : fenetre->findChildren<QAbstractButton*>()) {
        if (!nom_de_commande(b->objectName()) || lus_a_l_usage.contains(b->objectName())) continue;
        const int n =
            recepteurs(b, {SIGNAL(clicked(bool)), SIGNAL(toggled(bool)), SIGNAL(pressed())}) +
            (b->group() ? recepteurs(b->group(), {SIGNAL(idClicked(int)),
                                                  SIGNAL(buttonClicked(QAbstractButton*))})
                        : 0);
        if (n == 0) r << b->objectName();
    }
    for (const auto* e : fenetre->findChildren<QLineEdit*>())
        if (nom_de_commande(e->objectName()) && !e->isReadOnly() &&
            recepteurs(e, {SIGNAL(textChanged(QString)), SIGNAL(textEdited(QString)),
                           SIGNAL(editingFinished()), SIGNAL(returnPressed())}) == 0)
            r << e->objectName();
    return r;
}

}  // namespace

class FenetrePrincipaleTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ExempleFenetre> ex;
    DialogueScripte* dialogue = nullptr;

    auto fenetre(std::vector<std::string> arguments = {}) {
        return ex->fenetre(std::move(arguments));
    }
    template <class T = QWidget>
    static T* controle(QWidget* f, const char* nom) {
        return ExempleFenetre::controle<T>(f, nom);
    }
    static void cliquer(QWidget* f, const char* nom) { ExempleFenetre::cliquer(f, nom); }
    bool demande_vue(std::string_view debut) const { return ex->demande_vue(debut); }
    // Enough lines for a run to hand control to the window many times.
    void grossir_le_premier_fichier() const {
        const std::string gros = lire(ex->donnees + "LeGue_2024-06-01.csv");
        std::string lignes;
        for (int j = 0; j < 300; ++j)
            lignes += gros.substr(gros.find('\n', gros.find('\n') + 1) + 1);
        ecrire_fichier_atomique(ex->donnees + "LeGue_2024-06-01.csv", gros + lignes);
    }

private slots:
    void initTestCase() { ExempleFenetre::signaler_dans_qtest(); }

    void init() {
        ex = std::make_unique<ExempleFenetre>();
        dialogue = &ex->dialogue;
    }

    void cleanup() { ex.reset(); }

    void premier_demarrage_sans_fichier_prm() {
        auto f = fenetre();
        f->demarrer();
        QVERIFY(dialogue->vus.empty());  // no last description to offer
        QCOMPARE(controle<QLabel>(f.get(), "Label_description_bd")->text(),
                 QStringLiteral("fichier de description de données"));
        QCOMPARE(controle<QLabel>(f.get(), "Label_rep_description")->text(),
                 QStringLiteral("répertoire description"));
        QVERIFY(f->windowTitle().contains(QStringLiteral("T a r v o")));
        QVERIFY(f->session().journal.lignes().size() >= 4);
    }

    void description_de_la_ligne_de_commande_sans_question() {
        auto f = fenetre({ex->dsc});
        f->demarrer();
        QVERIFY(dialogue->vus.empty());
        QCOMPARE(controle<QLabel>(f.get(), "Label_description_bd")->text(),
                 QStringLiteral("LeGue_horaire.dsc"));
        QCOMPARE(controle<QLineEdit>(f.get(), "Edit_masque")->text(), QStringLiteral("*.csv"));
        QCOMPARE(controle<QLabel>(f.get(), "Label_repertoire")->text(), qt(ex->donnees));
        QCOMPARE(f->session().description.dossier_description, ex->descriptions);
        QVERIFY(f->windowTitle().startsWith(QStringLiteral("LeGue_horaire.dsc         >  ")));
        // Every setting of the description is on screen.
        QCOMPARE(controle<QLineEdit>(f.get(), "Edit_nom_fic_sortie")->text(),
                 QStringLiteral("LeGue_horaire"));
    }

    // The first start opens the example with no grid settings yet: its own period and step
    // are in place, so stages 1, 2 and 3 give its result at once.
    void premier_demarrage_donne_le_resultat_de_l_exemple() {
        QVERIFY(!std::filesystem::exists(ex->programme + "tarvo.2dt"));
        auto f = fenetre({ex->dsc});
        f->demarrer();
        QCOMPARE(controle<QLabel>(f.get(), "Label_temps_deb")->text(),
                 QStringLiteral("01/06/2024 00:00:00"));
        QCOMPARE(controle<QLabel>(f.get(), "Label_temps_fin")->text(),
                 QStringLiteral("15/06/2024 00:00:00"));
        QCOMPARE(controle<QTimeEdit>(f.get(), "TimePicker_pas")->time(), QTime(1, 0));
        cliquer(f.get(), "SpeedButton_lister");
        dialogue->attendre_question(Reponse::oui);  // build a new list
        cliquer(f.get(), "SpeedButton_creer_listes_date_clean");
        cliquer(f.get(), "SpeedButton_traiter_fichier");
        QCOMPARE(dialogue->vus.back().type, TypeMessage::information);
        QVERIFY(dialogue->vus.back().texte.starts_with(fr("3- TRAITEMENT EFFECTUÉ  (méthode")));
        QCOMPARE(dialogue->ids.back(), IdMessage::fin_traitement);
        QCOMPARE(f->session().extraction.nb_lignes_extraites, 1985);
        QCOMPARE(f->session().description.Label_min_dsc, std::string("01/06/2024 00:00:00"));
    }

    // A period that misses every file still writes its all-NA result, but ends with a
    // warning that says so and what to look at, not with the success box.
    void une_periode_sans_mesure_finit_par_un_avertissement() {
        ecrire_fichier_atomique(
            ex->dsc, ex->description_exemple({{"Label_min_dsc.caption", "01/01/2026 00:00:00"},
                                              {"Label_max_dsc.caption", "02/01/2026 00:00:00"}}));
        auto f = fenetre({ex->dsc});
        f->demarrer();
        cliquer(f.get(), "SpeedButton_lister");
        dialogue->attendre_question(Reponse::oui);  // build a new list
        cliquer(f.get(), "SpeedButton_creer_listes_date_clean");
        cliquer(f.get(), "SpeedButton_traiter_fichier");
        QCOMPARE(dialogue->vus.back().type, TypeMessage::avertissement);
        QCOMPARE(dialogue->ids.back(), IdMessage::aucune_ligne_extraite);
        const std::string texte = dialogue->vus.back().texte;
        QVERIFY(texte.find("AUCUNE LIGNE EXTRAITE") != std::string::npos);
        QVERIFY(texte.find("01/01/2026 00:00:00 => 02/01/2026 00:00:00") != std::string::npos);
        QVERIFY(texte.find("01/06/2024 00:00:00 => ") != std::string::npos);
        QVERIFY(std::filesystem::exists(f->session().fichier_resultat));
    }

    // Typing a whole date or time over the selected text of a picker gives that date or
    // time, on screen and in the settings, for every picker of the window.
    void taper_une_date_dans_chaque_selecteur() {
        auto f = fenetre({ex->dsc});
        f->demarrer();
        const Session& s = f->session();
        const auto heure = [](int h, int m) { return (h * 60 + m) / 1440.0; };
        struct Cas {
            const char* nom;
            const char* tape;
            std::function<bool()> lu;
        };
        const std::vector<Cas> cas = {
            {"DatePicker_deb", "20/06/2024",
             [&] { return s.parametres_grille.Label_temps_deb == "20/06/2024 00:00:00"; }},
            {"TimePicker_deb", "06:30:00",
             [&] { return s.parametres_grille.Label_temps_deb == "20/06/2024 06:30:00"; }},
            {"DatePicker_fin", "25/07/2024",
             [&] { return s.parametres_grille.Label_temps_fin == "25/07/2024 00:00:00"; }},
            {"TimePicker_fin", "18:15:00",
             [&] { return s.parametres_grille.Label_temps_fin == "25/07/2024 18:15:00"; }},
            {"TimePicker_pas", "00:30:00",
             [&] { return std::abs(s.parametres_grille.TimePicker_pas - heure(0, 30)) < 1e-9; }},
            {"TimePicker_decalage", "00:20:00",
             [&] { return std::abs(s.description.TimePicker_decalage - heure(0, 20)) < 1e-9; }},
            {"TimePicker_derive_erronee", "10:00:00",
             [&] {
                 return std::abs(s.description.TimePicker_derive_erronee - heure(10, 0)) < 1e-9;
             }},
            {"TimePicker_derive_reelle", "10:05:00",
             [&] {
                 return std::abs(s.description.TimePicker_derive_reelle - heure(10, 5)) < 1e-9;
             }},
            {"DateTimePicker_debut_derive", "21/06/2024 12:00:00",
             [&] {
                 return date_heure_vers_texte(s.description.DateTimePicker_debut_derive) ==
                        "21/06/2024 12:00:00";
             }},
            {"DateTimePicker_constat_derive", "28/06/2024 08:45:00",
             [&] {
                 return date_heure_vers_texte(s.description.DateTimePicker_constat_derive) ==
                        "28/06/2024 08:45:00";
             }},
        };
        for (const Cas& c : cas) {
            auto* selecteur = controle<QDateTimeEdit>(f.get(), c.nom);
            selecteur->setEnabled(true);
            selecteur->setFocus();
            selecteur->selectAll();
            QTest::keyClicks(selecteur, c.tape);
            QTest::keyClick(selecteur, Qt::Key_Return);
            QCOMPARE(selecteur->text(), QString::fromLatin1(c.tape));
            QVERIFY2(c.lu(), c.nom);
        }
    }

    // On a 1280×800 screen the three stage buttons, stop and the progress are in view
    // without scrolling, and stay in place as the progress texts change.
    void les_etapes_restent_en_vue_a_1280x800() {
        auto f = fenetre({ex->dsc});
        f->resize(1280, 800);
        f->demarrer();
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
        QVERIFY(f->minimumSizeHint().width() <= 1280);
        QCOMPARE(f->width(), 1280);
        auto* defilement = controle(f.get(), "defilement");
        const std::vector<const char*> etapes = {"SpeedButton_lister",
                                                 "SpeedButton_creer_listes_date_clean",
                                                 "SpeedButton_traiter_fichier",
                                                 "SpeedButton_stop",
                                                 "Label6",
                                                 "Label10",
                                                 "Label_patienter"};
        const auto places = [&] {
            std::vector<QRect> r;
            for (const char* nom : etapes) {
                QWidget* w = controle(f.get(), nom);
                r.emplace_back(w->mapTo(f.get(), QPoint(0, 0)), w->size());
            }
            return r;
        };
        const std::vector<QRect> avant = places();
        for (std::size_t i = 0; i < etapes.size(); ++i) {
            QVERIFY2(!defilement->isAncestorOf(controle(f.get(), etapes[i])), etapes[i]);
            if (i < 6) QVERIFY2(f->rect().contains(avant[i]), etapes[i]);
        }
        controle<QLabel>(f.get(), "Label6")
            ->setText(QStringLiteral("durées  01:02:03   00:04   12:34:56   totale 13:39:03"));
        controle<QLabel>(f.get(), "Label10")
            ->setText(QStringLiteral("01:23:45 >> 17:02:03    1234,56 Mo"));
        auto* patienter = controle<QLabel>(f.get(), "Label_patienter");
        patienter->setText(QStringLiteral("3- patienter ... fic-12  45%     "));
        patienter->show();
        QApplication::processEvents();
        QCOMPARE(places(), avant);
        // The help area and the tracking log lie outside the scrolled zones too.
        for (const char* nom : {"Memo2", "Panel1"}) {
            QWidget* w = controle(f.get(), nom);
            QVERIFY2(!defilement->isAncestorOf(w), nom);
            QVERIFY2(f->rect().contains(QRect(w->mapTo(f.get(), QPoint(0, 0)), w->size())), nom);
        }
    }

    void un_reglage_change_colore_l_enregistrement() {
        auto f = fenetre({ex->dsc});
        f->demarrer();
        auto* bouton = controle(f.get(), "SpeedButton_Enregistrer_dsc");
        QVERIFY(bouton->property("legende").value<QColor>() != couleur_rouge);
        QTest::keyClicks(controle<QLineEdit>(f.get(), "Edit_nom_fic_sortie"), "_v2");
        QVERIFY(f->session().f_modif);
        QCOMPARE(bouton->property("legende").value<QColor>(), couleur_rouge);
        QCOMPARE(f->session().description.Edit_nom_fic_sortie, std::string("LeGue_horaire_v2"));
    }

    void lister_grille_par_mois_et_traiter() {
        auto f = fenetre({ex->dsc});
        f->demarrer();
        cliquer(f.get(), "SpeedButton_lister");
        QCOMPARE(f->session().table.nb_fichiers(), 3);
        QCOMPARE(controle<QLabel>(f.get(), "Label54")->text(), QStringLiteral("3"));
        auto* table = controle<QAbstractItemView>(f.get(), "StringGrid1");
        QCOMPARE(table->model()->rowCount(), 3);

        // A month grid from the 15th: "Corriger" moves both ends to the first of the month.
        controle<QRadioButton>(f.get(), "RadioButton3_jour_mois_annee")->click();
        controle<QDateEdit>(f.get(), "DatePicker_deb")->setDate(QDate(2024, 5, 15));
        controle<QDateEdit>(f.get(), "DatePicker_fin")->setDate(QDate(2024, 7, 15));
        QVERIFY(f->session().grille_modifiee);
        dialogue->attendre_question(Reponse::oui);  // build a new list
        dialogue->attendre_question(Reponse::oui);  // "(inf strict)" for a calendar unit
        dialogue->attendre_choix(1);                // "Corriger" the days
        cliquer(f.get(), "SpeedButton_creer_listes_date_clean");
        QVERIFY(demande_vue(fr("--- PAR MOIS")));
        QVERIFY(controle<QRadioButton>(f.get(), "RadioButton2_actuel_ou_passee")->isChecked());
        QCOMPARE(f->session().parametres_grille.Label_temps_deb,
                 std::string("01/05/2024 00:00:00"));
        QCOMPARE(controle<QLabel>(f.get(), "Label_temps_deb")->text(),
                 QStringLiteral("01/05/2024 00:00:00"));
        auto* liste = controle<QAbstractItemView>(f.get(), "ListBox_date_clean");
        QCOMPARE(liste->model()->rowCount(), static_cast<int>(f->session().grille.items.size()));
        QVERIFY(liste->model()->rowCount() >= 3);

        cliquer(f.get(), "SpeedButton_traiter_fichier");
        const std::string resultat = f->session().fichier_resultat;
        QVERIFY2(!resultat.empty(), "no result file");
        QVERIFY(existe(resultat));
        QVERIFY(resultat.starts_with(ex->sortie));
        QVERIFY(existe(resultat + ".TXT"));
        QVERIFY(!controle<QLabel>(f.get(), "Label21")->text().isEmpty());
        QVERIFY(
            controle<QAbstractItemView>(f.get(), "ListBox_DONNEE_date_clean")->model()->rowCount() >
            0);

        // "sans col DateTime": the values alone, on screen and in the clipboard.
        cliquer(f.get(), "SpeedButton_sans_coldate");
        QVERIFY(demande_vue(" les colonnes sans la date"));
        auto* valeurs = controle<QPlainTextEdit>(f.get(), "RichEdit4");
        QVERIFY(valeurs->isVisible());
        QCOMPARE(valeurs->toPlainText().trimmed(),
                 qt(ex->presse_papier.contenu).remove(QLatin1Char('\r')).trimmed());
        QVERIFY(!ex->presse_papier.contenu.empty());
        QVERIFY(ex->presse_papier.contenu.find("/2024") == std::string::npos);  // no date column
        QVERIFY(existe(ex->programme + "~tmp.txt"));
    }

    void bouton_zero_remet_l_heure_de_debut() {
        auto f = fenetre({ex->dsc});
        f->demarrer();
        controle<QTimeEdit>(f.get(), "TimePicker_deb")->setTime(QTime(8, 30, 0));
        dialogue->attendre_question(Reponse::oui);
        cliquer(f.get(), "SpeedButton_deb");
        QVERIFY(demande_vue(fr("=== heure début ===\n\n  08:30:00")));
        QCOMPARE(controle<QTimeEdit>(f.get(), "TimePicker_deb")->time(), QTime(0, 0));
        QVERIFY(controle<QLabel>(f.get(), "Label_temps_deb")
                    ->text()
                    .endsWith(QStringLiteral(" 00:00:00")));
        QVERIFY(f->session().grille_modifiee);
    }

    // Nothing on the machine opens the file: the tracking log says so, no box stops the user.
    void editeur_introuvable_averti() {
        auto f = fenetre({ex->dsc});
        f->demarrer();
        ex->lanceur.reussite = false;
        QTest::mouseDClick(controle(f.get(), "Label_description_bd"), Qt::LeftButton);
        QVERIFY(ex->dialogue.vus.empty());
        QCOMPARE(f->session().journal.lignes().back(),
                 "aucune application n'a ouvert <" + ex->dsc + ">");
    }

    void arreter_pendant_un_traitement() {
        grossir_le_premier_fichier();
        auto f = fenetre({ex->dsc});
        f->demarrer();
        cliquer(f.get(), "SpeedButton_lister");
        dialogue->attendre_question(Reponse::oui);  // "Stopper le traitement  ?"
        bool clique = false;
        QTimer minuterie;
        QObject::connect(&minuterie, &QTimer::timeout, [&] {
            if (clique || !f->session().traitement_en_cours) return;
            clique = true;
            cliquer(f.get(), "SpeedButton_stop");
        });
        minuterie.start(1);
        cliquer(f.get(), "SpeedButton_traiter_fichier");
        QVERIFY(clique);
        QVERIFY(demande_vue("Stopper le traitement  ?"));
        QVERIFY(f->session().demande_stop);
        QVERIFY(!f->session().traitement_en_cours);
        // A stopped run still writes what it has.
        QVERIFY(!f->session().fichier_resultat.empty());
    }

    // During a run the stop button is drawn ready, and the window's close button asks the
    // stop button's question: Oui stops the run, the window stays.
    void pendant_un_traitement_stop_et_fermeture() {
        grossir_le_premier_fichier();
        auto f = fenetre({ex->dsc});
        f->demarrer();
        cliquer(f.get(), "SpeedButton_lister");
        auto* stop = controle(f.get(), "SpeedButton_stop");
        QVERIFY(stop->property("legende").isValid());  // grey while idle
        dialogue->attendre_question(Reponse::oui);     // "Stopper le traitement  ?"
        bool ferme = false, stop_gris = true;
        QTimer minuterie;
        QObject::connect(&minuterie, &QTimer::timeout, [&] {
            if (ferme || !f->session().traitement_en_cours) return;
            ferme = true;
            stop_gris = stop->property("legende").isValid();
            f->close();
        });
        minuterie.start(1);
        cliquer(f.get(), "SpeedButton_traiter_fichier");
        QVERIFY(ferme);
        QVERIFY(!stop_gris);
        QCOMPARE(
            std::count(dialogue->ids.begin(), dialogue->ids.end(), IdMessage::stopper_traitement),
            1);
        QVERIFY(f->session().demande_stop);
        QVERIFY(f->isVisible());
        QVERIFY(stop->property("legende").isValid());  // grey again
    }

    // A mask that finds nothing empties the file table: the previous files are not
    // processed, button 3 asks for a listing first.
    void un_listage_vide_vide_la_table() {
        auto f = fenetre({ex->dsc});
        f->demarrer();
        cliquer(f.get(), "SpeedButton_lister");
        QCOMPARE(f->session().table.nb_fichiers(), 3);
        auto* masque = controle<QLineEdit>(f.get(), "Edit_masque");
        masque->setText(QStringLiteral("*.xyz"));
        cliquer(f.get(), "SpeedButton_lister");
        QCOMPARE(dialogue->ids.back(), IdMessage::aucun_fichier_filtre);
        QCOMPARE(f->session().table.nb_fichiers(), 0);
        QCOMPARE(controle<QAbstractItemView>(f.get(), "StringGrid1")->model()->rowCount(), 0);
        const auto resultats = std::distance(std::filesystem::directory_iterator(ex->sortie),
                                             std::filesystem::directory_iterator());
        cliquer(f.get(), "SpeedButton_traiter_fichier");
        QCOMPARE(dialogue->ids.back(), IdMessage::lister_d_abord);
        QCOMPARE(std::distance(std::filesystem::directory_iterator(ex->sortie),
                               std::filesystem::directory_iterator()),
                 resultats);
    }

    // At 1280 × 800 the listing leaves the page as wide as the window, and the waiting
    // text of a run is read whole.
    void a_1280x800_rien_ne_deborde_apres_un_listage() {
        // Loggers' export names run long.
        std::filesystem::rename(ex->donnees + "LeGue_2024-06-01.csv",
                                ex->donnees +
                                    "LeGue_2024-06-01_station_amont_du_gue_capteur_de_"
                                    "niveau_et_de_temperature_serie_complete_exportee_"
                                    "depuis_le_logiciel_du_fabricant.csv");
        auto f = fenetre({ex->dsc});
        f->resize(1280, 800);
        f->demarrer();
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
        cliquer(f.get(), "SpeedButton_lister");
        auto* defilement = controle<QScrollArea>(f.get(), "defilement");
        QVERIFY2(defilement->widget()->minimumSizeHint().width() <= defilement->viewport()->width(),
                 qPrintable(QString::number(defilement->widget()->minimumSizeHint().width())));
        auto* patienter = controle<QLabel>(f.get(), "Label_patienter");
        const QString texte = QStringLiteral("3c- patienter ... fic-1234         ");
        QVERIFY2(patienter->width() >= patienter->fontMetrics().horizontalAdvance(texte.trimmed()),
                 qPrintable(QString::number(patienter->width())));
    }

    // The wheel over a list that has not the focus, or has no room to go, scrolls the page.
    void la_roulette_fait_defiler_la_page() {
        auto f = fenetre({ex->dsc});
        f->resize(1280, 600);
        f->demarrer();
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
        cliquer(f.get(), "SpeedButton_lister");
        auto* page = controle<QScrollArea>(f.get(), "defilement")->verticalScrollBar();
        QVERIFY(page->maximum() > 0);
        auto* table = controle<QAbstractItemView>(f.get(), "StringGrid1");
        const auto tourner = [&](int delta) {
            const QPoint centre = table->viewport()->rect().center();
            QWheelEvent roue(centre, table->viewport()->mapToGlobal(centre), QPoint(),
                             QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                             false);
            QApplication::sendEvent(table->viewport(), &roue);
        };
        page->setValue(0);
        tourner(-120);
        QVERIFY(page->value() > 0);
        // Focused, the table keeps the wheel while it can scroll; it has three rows only.
        table->setFocus();
        const int avant = page->value();
        tourner(-120);
        QVERIFY(page->value() > avant);
        // A date picker passed over keeps its date.
        auto* date = controle<QDateTimeEdit>(f.get(), "DateTimePicker_debut_derive");
        const QDateTime garde = date->dateTime();
        page->setValue(0);
        const QPoint centre = date->rect().center();
        QWheelEvent roue(centre, date->mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        page->setValue(page->maximum());
        QApplication::sendEvent(date, &roue);
        QVERIFY(!date->hasFocus());
        QCOMPARE(date->dateTime(), garde);
        QVERIFY(page->value() < page->maximum());
    }

    // "Enregistrer sous" gives a result named after the description its own name too.
    void enregistrer_sous_renomme_le_resultat() {
        auto f = fenetre({ex->dsc});
        f->demarrer();
        ex->fichier_choisi = ex->descriptions + "LeGue_journalier.dsc";
        cliquer(f.get(), "SpeedButton_enreg_description");
        QCOMPARE(controle<QLineEdit>(f.get(), "Edit_nom_fic_sortie")->text(),
                 QStringLiteral("LeGue_journalier"));
        QVERIFY(lire(ex->descriptions + "LeGue_journalier.dsc")
                    .find("Edit_nom_fic_sortie.text= LeGue_journalier\r\n") != std::string::npos);
        // A name of the user's own stays.
        controle<QLineEdit>(f.get(), "Edit_nom_fic_sortie")->setText(QStringLiteral("station_B"));
        ex->fichier_choisi = ex->descriptions + "LeGue_b.dsc";
        cliquer(f.get(), "SpeedButton_enreg_description");
        QCOMPARE(f->session().description.Edit_nom_fic_sortie, std::string("station_B"));
    }

    // A control built but never wired does nothing when clicked: every named command of
    // the main window and of the graph window reaches a handler.
    void chaque_commande_est_branchee() {
        auto f = fenetre({ex->dsc});
        f->demarrer();
        const QStringList principale = non_branches(f.get());
        QVERIFY2(principale.isEmpty(), qPrintable(principale.join(QLatin1String(", "))));
        auto* graphique = f->findChild<FenetreGraphique*>();
        QVERIFY(graphique);
        const QStringList graphes = non_branches(graphique);
        QVERIFY2(graphes.isEmpty(), qPrintable(graphes.join(QLatin1String(", "))));
        // "lister les colonnes" writes the listing's columns to the tracking log.
        cliquer(f.get(), "SpeedButton_lister");
        cliquer(f.get(), "Panel_button_liste_colonne");
        const auto& l = f->session().journal.lignes();
        QVERIFY(std::find(l.begin(), l.end(), " nb de colonnes de mesure(s) = 3") != l.end());
    }

    // While a run refills the step table the charts cannot be opened nor read it, and
    // "clear" empties the view of the log, not the log the tracking file is made of.
    void pendant_un_traitement_les_graphiques_attendent() {
        grossir_le_premier_fichier();
        auto f = fenetre({ex->dsc});
        f->demarrer();
        cliquer(f.get(), "SpeedButton_lister");
        auto* bouton = controle<QAbstractButton>(f.get(), "SpeedButton_graphique");
        auto* graphique = f->findChild<FenetreGraphique*>();
        bool vu_pendant = false, bouton_actif = true, graphique_actif = true, lister_actif = true;
        std::size_t lignes_avant_clear = 0, lignes_apres_clear = 0;
        QTimer minuterie;
        QObject::connect(&minuterie, &QTimer::timeout, [&] {
            if (vu_pendant || !f->session().traitement_en_cours) return;
            vu_pendant = true;
            bouton_actif = bouton->isEnabled();
            graphique_actif = graphique->isEnabled();
            lister_actif = controle(f.get(), "SpeedButton_lister")->isEnabled();
            lignes_avant_clear = f->session().journal.lignes().size();
            cliquer(f.get(), "SpeedButton_clear");
            lignes_apres_clear = f->session().journal.lignes().size();
        });
        minuterie.start(1);
        cliquer(f.get(), "SpeedButton_traiter_fichier");
        QVERIFY(vu_pendant);
        QVERIFY(!bouton_actif);
        QVERIFY(!graphique_actif);
        QVERIFY(!lister_actif);  // in the stage bar, it waits for the run as its zone did
        QCOMPARE(lignes_apres_clear, lignes_avant_clear);
        QVERIFY(controle<QPlainTextEdit>(f.get(), "Memo5")->toPlainText().count(QLatin1Char('\n')) <
                static_cast<int>(f->session().journal.lignes().size()));
        QVERIFY(bouton->isEnabled());
        QVERIFY(graphique->isEnabled());
        const std::string suivi = lire(f->session().fichier_resultat + ".TXT");
        QVERIFY(suivi.find("--> TRAITEMENT") != std::string::npos);
    }

    void nouveau_garde_les_trois_repertoires() {
        auto f = fenetre({ex->dsc});
        f->demarrer();
        dialogue->attendre_question(Reponse::oui);  // "Nouvelle description ?"
        ex->fichier_choisi = ex->descriptions + "neuve";
        cliquer(f.get(), "SpeedButton_nouveau_dsc");
        const Description& d = f->session().description;
        QCOMPARE(d.dossier_choisi, ex->donnees);
        QCOMPARE(d.dossier_description, ex->descriptions);
        QCOMPARE(d.dossier_choisi_sortie, ex->sortie);
        QCOMPARE(d.Edit_nom_fic_sortie, std::string("A"));  // every other setting is the default
        QCOMPARE(controle<QLineEdit>(f.get(), "Edit_nom_fic_sortie")->text(), QStringLiteral("A"));
        QVERIFY(existe(ex->descriptions + "neuve.dsc"));
        QCOMPARE(controle<QLabel>(f.get(), "Label_description_bd")->text(),
                 QStringLiteral("neuve.dsc"));
        // Then the user is sent to the data directory.
        QVERIFY(controle(f.get(), "Panel_dir")->isVisible());
    }

    void echap_quitte_et_efface_les_fichiers_de_travail() {
        ecrire_fichier_atomique(ex->programme + "~tmp.txt", "x");
        auto f = fenetre({ex->dsc});
        f->demarrer();
        dialogue->attendre_question(Reponse::non);  // "Quitter  ?": the window stays
        QTest::keyClick(f.get(), Qt::Key_Escape);
        QVERIFY(f->isVisible());
        QVERIFY(existe(ex->programme + "~tmp.txt"));
        dialogue->attendre_question(Reponse::oui);
        QTest::keyClick(f.get(), Qt::Key_Escape);
        QVERIFY(demande_vue("Quitter  ?"));
        QVERIFY(!f->isVisible());
        QVERIFY(!existe(ex->programme + "~tmp.txt"));
    }

    // Whatever way the window is left after a run, with nothing changed, the next start
    // finds the description and the colours: the parameter file is written each time.
    void chaque_sortie_ecrit_le_fichier_de_parametres() {
        const std::string prm = ex->programme + "tarvo.prm";
        const std::vector<std::pair<const char*, std::function<void(FenetrePrincipale&)>>> sorties =
            {
                {"bouton", [](FenetrePrincipale& f) { cliquer(&f, "SpeedButton_exit"); }},
                {"Echap", [](FenetrePrincipale& f) { QTest::keyClick(&f, Qt::Key_Escape); }},
                {"fermeture", [](FenetrePrincipale& f) { f.close(); }},
            };
        for (const auto& [nom, sortir] : sorties) {
            std::filesystem::remove(prm);
            auto f = fenetre({ex->dsc});
            f->demarrer();
            cliquer(f.get(), "SpeedButton_lister");
            QVERIFY(!f->session().f_modif);
            dialogue->attendre_question(Reponse::oui);  // "Quitter  ?"
            sortir(*f);
            QVERIFY2(!f->isVisible(), nom);
            const std::string contenu = lire(prm);
            QVERIFY2(contenu.starts_with(ex->dsc + "\r\n255,245,221\r\n"), nom);
            QCOMPARE(std::count(contenu.begin(), contenu.end(), '\n'), 60);
        }
    }

    void test_son_et_fichier_du_repertoire_de_sortie() {
        auto f = fenetre({ex->dsc});
        f->demarrer();
        cliquer(f.get(), "SpeedButton_test_son");
        QCOMPARE(ex->audio.joues.size(), std::size_t{1});
        QVERIFY(!ex->audio.joues.front().echantillons.empty());
        ex->fichier_choisi = ex->sortie + "ancien.txt";
        cliquer(f.get(), "SpeedButton_rep_export");
        QCOMPARE(ex->lanceur.appels.size(), std::size_t{1});
        QCOMPARE(ex->lanceur.appels.front().argument, ex->sortie + "ancien.txt");
    }

    void ouvrir_la_description_dans_l_editeur_par_double_clic() {
        auto f = fenetre({ex->dsc});
        f->demarrer();
        QTest::mouseDClick(controle(f.get(), "Label_description_bd"), Qt::LeftButton);
        QCOMPARE(ex->lanceur.appels.size(), std::size_t{1});
        // The example names no editor: the desktop's application opens it.
        QVERIFY(ex->lanceur.appels.front() ==
                (LanceurEnregistreur::Appel{LanceurEnregistreur::Genre::document, ex->dsc}));
    }
};

QTEST_MAIN(FenetrePrincipaleTest)
#include "fenetre_principale_test.moc"
