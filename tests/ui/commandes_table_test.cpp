// The file table driven as a user drives it after a listing of the shipped example:
// deletions with their question, marks by double click and by station, sorts by title,
// and a listing date copied into the period.
#include <QAbstractButton>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "engine/grille.h"
#include "exemple_fenetre.h"
#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"
#include "inventory/edition_table.h"
#include "inventory/table_fichiers.h"
#include "ui/fenetre_graphique.h"

using namespace tarvo;

class CommandesTableTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ExempleFenetre> ex;
    FenetreOuverte f;

    // The example listed, its station read from the first syllable of the names.
    // The description's period starts before its files, as after a run on a longer period.
    void lister_exemple() {
        ecrire_fichier_atomique(
            ex->dsc, ex->description_exemple({{"Edit_f_station.text", "1"},
                                              {"Label_min_dsc.caption", "01/05/2024 00:00:00"}}));
        f = ex->fenetre({ex->dsc});
        f->demarrer();
        ExempleFenetre::cliquer(f.get(), "SpeedButton_lister");
        QCOMPARE(f->session().table.nb_fichiers(), 3);
    }

    QTableView* table() const {
        return ExempleFenetre::controle<QTableView>(f.get(), "StringGrid1");
    }

    QPoint centre(int ligne, int colonne) const {
        const QModelIndex i = table()->model()->index(ligne, colonne);
        table()->scrollTo(i);
        return table()->visualRect(i).center();
    }

    QStringList colonne_vue(int colonne) const {
        QStringList v;
        for (int r = 0; r < table()->model()->rowCount(); ++r)
            v << table()->model()->index(r, colonne).data().toString();
        return v;
    }

    void clic_droit(int ligne, int colonne) {
        QTest::mouseClick(table()->viewport(), Qt::RightButton, {}, centre(ligne, colonne));
    }

private slots:
    void initTestCase() { ExempleFenetre::signaler_dans_qtest(); }
    void init() { ex = std::make_unique<ExempleFenetre>(); }
    void cleanup() {
        f.reset();
        ex.reset();
    }

    void effacer_la_selection_apres_la_question() {
        lister_exemple();
        table()->selectionModel()->select(
            QItemSelection(table()->model()->index(0, 0), table()->model()->index(1, 0)),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        ex->dialogue.attendre_question(Reponse::oui);
        ExempleFenetre::cliquer(f.get(), "SpeedButton_effacer_selection");
        QCOMPARE(ex->dialogue.vus.back().texte,
                 fr("effacer toutes les lignes sélectionnées ?\n  de la ligne 1  à la ligne 2"));
        QCOMPARE(ex->dialogue.ids.back(), IdMessage::effacer_lignes_selectionnees);
        QCOMPARE(colonne_vue(static_cast<int>(Colonne::fichier)),
                 QStringList{"LeGue_2024-06-10.csv"});
        QCOMPARE(ExempleFenetre::controle<QLabel>(f.get(), "Label_nb_fic")->text(),
                 QStringLiteral("1  fichiers"));

        // The Delete key asks for the current row; Non keeps it.
        table()->setFocus();
        table()->setCurrentIndex(table()->model()->index(0, 0));
        ex->dialogue.attendre_question(Reponse::non);
        QTest::keyClick(table(), Qt::Key_Delete);
        QCOMPARE(ex->dialogue.vus.back().texte, fr("effacer la lignes sélectionnée  L1  ?\n"));
        QCOMPARE(f->session().table.nb_fichiers(), 1);
    }

    void double_clic_marque_puis_demarque() {
        lister_exemple();
        const QPoint marque = centre(1, colonne_marque);
        QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {}, marque);
        QCOMPARE(colonne_vue(colonne_marque), (QStringList{"", "x", ""}));
        QCOMPARE(f->session().inventaire.ListBox_fic_coche,
                 std::vector<std::string>{"LeGue_2024-06-05.csv"});
        QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {}, centre(1, colonne_marque));
        QVERIFY(f->session().inventaire.ListBox_fic_coche.empty());

        // A double click on a file name opens it, with the desktop's application as the
        // example names no editor.
        QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {},
                           centre(0, static_cast<int>(Colonne::fichier)));
        QCOMPARE(ex->lanceur.appels.size(), std::size_t{1});
        QCOMPARE(ex->lanceur.appels.back().genre, LanceurEnregistreur::Genre::document);
        QCOMPARE(ex->lanceur.appels.back().argument, ex->donnees + "LeGue_2024-06-01.csv");
    }

    void panneau_coche_par_clic_droit() {
        lister_exemple();
        auto* panneau = ExempleFenetre::controle(f.get(), "Panel_coche");
        QVERIFY(!panneau->isVisible());
        clic_droit(2, colonne_marque);
        QVERIFY(panneau->isVisible());
        auto* premier = ExempleFenetre::controle<QRadioButton>(f.get(), "RadioButton1_coche");
        QCOMPARE(premier->text(), QStringLiteral("ne cocher que les <LeGue>"));
        QVERIFY(!premier->isChecked());
        QTest::mouseClick(premier, Qt::LeftButton);
        QVERIFY(!panneau->isVisible());
        QCOMPARE(colonne_vue(colonne_marque), (QStringList{"x", "x", "x"}));
        QCOMPARE(f->session().titre_graphique, std::string("Station LeGue"));

        // From the "Station" column, "décocher juste les  <LeGue>"; "esc" only hides.
        clic_droit(0, static_cast<int>(Colonne::station));
        QVERIFY(panneau->isVisible());
        QVERIFY(!premier->isChecked());
        ExempleFenetre::cliquer(f.get(), "RadioButton4_coche");
        QCOMPARE(colonne_vue(colonne_marque), (QStringList{"", "", ""}));
        QCOMPARE(f->session().titre_graphique, std::string("Graphiques"));
        clic_droit(0, colonne_marque);
        ExempleFenetre::cliquer(f.get(), "SpeedButton9");
        QVERIFY(!panneau->isVisible());
    }

    // The graph window takes the title that each station choice gives it.
    void le_titre_des_graphiques_suit_les_stations() {
        lister_exemple();
        auto* graphique = f->findChild<FenetreGraphique*>();
        QVERIFY(graphique);
        QCOMPARE(graphique->windowTitle(), QStringLiteral("Graphiques"));
        const struct {
            const char* choix;
            const char* titre;
        } cas[] = {{"RadioButton1_coche", "Station LeGue"},
                   {"RadioButton2_coche", "Station LeGue+LeGue"},
                   {"RadioButton3_coche", "Graphiques"}};
        for (const auto& c : cas) {
            clic_droit(0, colonne_marque);
            QTest::mouseClick(ExempleFenetre::controle<QRadioButton>(f.get(), c.choix),
                              Qt::LeftButton);
            QCOMPARE(graphique->windowTitle(), QString::fromLatin1(c.titre));
        }
    }

    void double_clic_sur_un_titre_alterne_le_tri() {
        lister_exemple();
        QHeaderView* titres = table()->horizontalHeader();
        const QPoint n(titres->sectionViewportPosition(0) + 5, titres->height() / 2);
        QTest::mouseDClick(titres->viewport(), Qt::LeftButton, {}, n);
        QCOMPARE(colonne_vue(0), (QStringList{"1", "2", "3"}));
        QTest::mouseDClick(titres->viewport(), Qt::LeftButton, {}, n);
        QCOMPARE(colonne_vue(0), (QStringList{"3", "2", "1"}));
        QTest::mouseDClick(titres->viewport(), Qt::LeftButton, {}, n);
        QCOMPARE(colonne_vue(0), (QStringList{"1", "2", "3"}));
    }

    void tout_effacer_puis_reafficher_garde_les_marques() {
        lister_exemple();
        QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {}, centre(2, colonne_marque));
        table()->setCurrentIndex(table()->model()->index(0, 0));
        ex->dialogue.attendre_question(Reponse::oui);
        ExempleFenetre::cliquer(f.get(), "SpeedButton_effacer_vers_le_bas");
        QCOMPARE(ex->dialogue.vus.back().texte,
                 std::string("effacer toutes les lignes vers le bas, courante comprise ?"));
        QCOMPARE(ex->dialogue.ids.back(), IdMessage::effacer_lignes_vers_le_bas);
        QCOMPARE(table()->model()->rowCount(), 0);
        QCOMPARE(ExempleFenetre::controle<QLabel>(f.get(), "Label_nb_fic")->text(),
                 QStringLiteral("0  fichiers"));
        ExempleFenetre::cliquer(f.get(), "SpeedButton6");
        QCOMPARE(colonne_vue(colonne_marque), (QStringList{"", "", "x"}));
    }

    void entree_dans_la_ligne_de_donnee() {
        lister_exemple();
        auto* donnee = ExempleFenetre::controle<QLineEdit>(f.get(), "Edit_num_ligne_donnee");
        donnee->setFocus();
        donnee->selectAll();
        QTest::keyClicks(donnee, "2");  // the titles are on line 2 too
        QTest::keyClick(donnee, Qt::Key_Return);
        QVERIFY(ex->demande_vue(
            fr(" la valeur 2 n'est pas valide comme n° de ligne de donnée par rapport à "
               "celui de l'intitulés de colonnes : 2 ...")));
    }

    // A name pattern typed in the mask: Enter saves the description with it as typed and
    // lists its files alone, under a listing button that names it.
    void entree_dans_le_masque_liste_les_fichiers_du_motif() {
        lister_exemple();
        auto* masque = ExempleFenetre::controle<QLineEdit>(f.get(), "Edit_masque");
        masque->setFocus();
        masque->selectAll();
        QTest::keyClicks(masque, "legue_2024-06-0?.CSV");
        QTest::keyClick(masque, Qt::Key_Return);
        QCOMPARE(colonne_vue(1), (QStringList{"LeGue_2024-06-01.csv", "LeGue_2024-06-05.csv"}));
        QCOMPARE(f->session().description.Edit_masque, std::string("legue_2024-06-0?.CSV"));
        QCOMPARE(ExempleFenetre::controle<QAbstractButton>(f.get(), "SpeedButton_lister")->text(),
                 QStringLiteral("1- Valider et Lister les fichiers   legue_2024-06-0?.CSV"));
        QVERIFY(lire(ex->dsc).find("Edit_masque.text= legue_2024-06-0?.CSV\r\n") !=
                std::string::npos);
    }

    void double_clic_sur_la_date_heure_min() {
        lister_exemple();
        Session& s = f->session();
        const std::string texte = s.inventaire.affichage.Label_date_heure_min;
        JournalSuivi journal;
        std::string canonique;
        const std::string propose = date_heure_vers_texte(arrondir_au_pas_inferieur(
            texte_vers_date_heure(texte, canonique, journal), pas_jours(s.parametres_grille)));
        auto* debut = ExempleFenetre::controle<QLabel>(f.get(), "Label_temps_deb");
        QVERIFY(debut->text() != qt(propose));
        s.f_modif = false;
        ex->dialogue.attendre_question(Reponse::oui);
        QTest::mouseDClick(ExempleFenetre::controle(f.get(), "Label_date_heure_min"),
                           Qt::LeftButton);
        QVERIFY(ex->dialogue.vus.back().texte.starts_with(
            fr(" récupérer la date/heure mini ?\n\n(oui) ") + propose));
        QCOMPARE(ex->dialogue.ids.back(), IdMessage::copier_date_heure_mini_arrondie);
        QCOMPARE(debut->text(), qt(propose));
        QCOMPARE(ExempleFenetre::controle<QDateEdit>(f.get(), "DatePicker_deb")->date(),
                 QDate(2024, 6, 1));
        QCOMPARE(s.parametres_grille.Label_temps_deb, propose);
        QVERIFY(s.f_modif);
        QVERIFY(s.grille.items.empty());
    }
};

QTEST_MAIN(CommandesTableTest)
#include "commandes_table_test.moc"
