// The sample-file command and the field checks driven through the main window.
#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "description/cles_description.h"
#include "formats/texte.h"
#include "session/session.h"
#include "tests/ui/exemple_fenetre.h"
#include "ui/conversions_qt.h"
#include "ui/fenetre_principale.h"

using namespace tarvo;

class CommandesExemplaireTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ExempleFenetre> ex;

    template <class T = QWidget>
    static T* controle(QWidget* f, const char* nom) {
        return ExempleFenetre::controle<T>(f, nom);
    }
    // The Keller logger's export, in a folder of its own beside the example's data.
    std::string copier_keller() const {
        const std::string nom = "3-0057_ROLLEGEM_07062010_140000_00_with_temp.txt";
        const std::string autre = ex->donnees + "keller/";
        std::filesystem::create_directories(autre);
        std::filesystem::copy_file(std::string(TARVO_DONNEES_REELLES) + "/keller-logger/" + nom,
                                   autre + nom);
        return autre + nom;
    }

private slots:
    void initTestCase() { ExempleFenetre::signaler_dans_qtest(); }
    void init() { ex = std::make_unique<ExempleFenetre>(); }
    void cleanup() { ex.reset(); }

    // A Campbell TOA5 file from the default description: its extension, comma separator and
    // first data line reach the screen once the proposals are accepted.
    void exemplaire_campbell_propose_la_disposition() {
        const std::string nom =
            "exampledata_TOA5-DAT-1MIN_CH-OE2_iDL_BOX1_0_1_TBL1_20220629-1714.dat";
        std::filesystem::copy_file(std::string(TARVO_DONNEES_REELLES) + "/campbell-toa5/" + nom,
                                   ex->donnees + nom);
        ex->fichier_choisi = ex->donnees + nom;
        auto f = ex->fenetre();
        f->demarrer();
        auto* bouton = controle<QAbstractButton>(f.get(), "SpeedButton_choix_fic_donnee");
        QVERIFY(bouton->isEnabled());
        ex->dialogue.attendre_choix(1);                // "Utiliser tels quels"
        ex->dialogue.attendre_question(Reponse::oui);  // comma, not tabulation
        ex->dialogue.attendre_question(Reponse::oui);  // data from line 5
        ex->dialogue.attendre_question(Reponse::non);  // quoted fields: kept as text
        bouton->click();
        QVERIFY(!controle<QCheckBox>(f.get(), "CheckBox_champs_guillemets")->isChecked());
        QCOMPARE(controle<QLineEdit>(f.get(), "Edit_masque")->text(), QStringLiteral("dat"));
        QCOMPARE(controle<QLineEdit>(f.get(), "Edit_num_ligne_donnee")->text(),
                 QStringLiteral("5"));
        QVERIFY(controle<QRadioButton>(f.get(), "RadioButton4_separateur_colonne")->isChecked());
        QCOMPARE(controle<QLabel>(f.get(), "Label_repertoire")->text(), qt(ex->donnees));
        QCOMPARE(f->session().table.nb_fichiers(), 1);
        // A files input: the sheet number is hidden, the file-name codes are shown.
        QVERIFY(controle(f.get(), "Edit_num_feuille_excel")->isHidden());
        QVERIFY(!controle(f.get(), "Edit_f_station")->isHidden());
        QVERIFY(controle(f.get(), "SpeedButton_lister")
                    ->toolTip()
                    .startsWith(QStringLiteral(" Valider la description")));
        QCOMPARE(ex->lanceur.appels.front().argument, ex->donnees + nom);
    }

    // A database export: accepting the quoted fields ticks the box beside the separator,
    // and the description remembers it.
    void exemplaire_entre_guillemets_coche_la_case() {
        const std::string nom = "BAOL031X_T5740.csv";
        std::filesystem::copy_file(std::string(TARVO_DONNEES_REELLES) + "/inbo-watina-csv/" + nom,
                                   ex->donnees + nom);
        ex->fichier_choisi = ex->donnees + nom;
        auto f = ex->fenetre();
        f->demarrer();
        auto* bouton = controle<QAbstractButton>(f.get(), "SpeedButton_choix_fic_donnee");
        auto* guillemets = controle<QCheckBox>(f.get(), "CheckBox_champs_guillemets");
        QCOMPARE(guillemets->text(), QStringLiteral("champs entre guillemets"));
        QVERIFY(!guillemets->isChecked());
        ex->dialogue.attendre_choix(1);                // "Utiliser tels quels"
        ex->dialogue.attendre_question(Reponse::oui);  // comma, not tabulation
        ex->dialogue.attendre_question(Reponse::oui);  // quoted fields
        ex->dialogue.attendre_question(Reponse::non);  // the listing's date question
        bouton->click();
        QCOMPARE(ex->dialogue.ids.at(2), IdMessage::exemplaire_champs_guillemets_proposes);
        QVERIFY(guillemets->isChecked());
        QVERIFY(f->session().description.CheckBox_champs_guillemets);
    }

    // A sample of another file family, taken while the example's description is open:
    // the example's file keeps its bytes, the new settings go to a temporary description
    // named after the sample's layout, and the result is not the example's name either.
    void exemplaire_d_une_autre_famille_ne_touche_pas_la_description_ouverte() {
        const std::string keller = copier_keller();
        const std::string avant = lire(ex->dsc);
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        QCOMPARE(f->session().Label_description_bd, std::string("LeGue_horaire.dsc"));
        ex->fichier_choisi = keller;
        ex->dialogue.attendre_choix(1);                // "Utiliser tels quels"
        ex->dialogue.attendre_question(Reponse::oui);  // line 2 holds no titles
        ex->dialogue.attendre_question(Reponse::oui);  // tabulation, not ";"
        ex->dialogue.attendre_question(Reponse::oui);  // data from line 2
        ex->dialogue.attendre_question(Reponse::oui);  // titles on line 1
        // The example's date pattern does not read "7/06/2010 14:00:00": the listing says so.
        ex->dialogue.attendre_question(Reponse::non);
        controle<QAbstractButton>(f.get(), "SpeedButton_choix_fic_donnee")->click();
        QCOMPARE(lire(ex->dsc), avant);
        const std::string nom = f->session().Label_description_bd;
        QVERIFY2(nom.starts_with("Temporaire_(txt"), nom.c_str());
        QVERIFY(f->windowTitle().contains(qt(nom)) ||
                controle<QLabel>(f.get(), "Label_description_bd")->text() == qt(nom));
        QVERIFY(f->session().description.Edit_nom_fic_sortie != "LeGue_horaire");
        QVERIFY(std::filesystem::exists(ex->descriptions + nom));
        // Quitting saves the open description, which is the temporary one.
        ex->dialogue.attendre_question(Reponse::oui);  // "Quitter ?"
        f->session().quitter();
        QCOMPARE(lire(ex->dsc), avant);
    }

    // An edit on screen, then a sample of another family: the edit is offered for saving as
    // when another description is chosen ("Non" drops it), and the new family's screen shows
    // the defaults, none of the example's zones, pattern, columns or NA codes.
    void exemplaire_d_une_autre_famille_demande_puis_repart_des_defauts() {
        const std::string keller = copier_keller();
        const std::string avant = lire(ex->dsc);
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        auto* zone = controle<QLineEdit>(f.get(), "Edit_fuseau_mesures");
        zone->setText(QStringLiteral("UTC-07:00"));
        emit zone->textEdited(zone->text());
        QVERIFY(f->session().f_modif);
        ex->fichier_choisi = keller;
        ex->dialogue.attendre_question(Reponse::non);  // save the edit? no
        ex->dialogue.attendre_choix(1);                // "Utiliser tels quels"
        ex->dialogue.attendre_question(Reponse::oui);  // line 2 holds no titles
        ex->dialogue.attendre_question(Reponse::oui);  // tabulation, not ";"
        ex->dialogue.attendre_question(Reponse::oui);  // data from line 2
        ex->dialogue.attendre_question(Reponse::oui);  // titles on line 1
        ex->dialogue.attendre_question(Reponse::non);  // the listing's date question
        controle<QAbstractButton>(f.get(), "SpeedButton_choix_fic_donnee")->click();
        QCOMPARE(ex->dialogue.ids.front(), IdMessage::enregistrer_modifications_description);
        QCOMPARE(lire(ex->dsc), avant);
        const Description defauts = description_par_defaut({ex->programme, 0});
        QCOMPARE(zone->text(), QString());
        for (const auto& [nom, valeur] :
             {std::pair{"Edit_format_datetime_mesure", defauts.Edit_format_datetime_mesure},
              std::pair{"Edit_col_cochee", defauts.Edit_col_cochee},
              std::pair{"Edit_equiv_na", defauts.Edit_equiv_na},
              std::pair{"Edit_nb_decimale", defauts.Edit_nb_decimale},
              std::pair{"Edit_balise_deb", defauts.Edit_balise_deb}})
            QCOMPARE(controle<QLineEdit>(f.get(), nom)->text(), qt(valeur));
        QCOMPARE(controle<QLineEdit>(f.get(), "Edit_masque")->text(), QStringLiteral("txt"));
    }

    // The shipped example names no editor: its files open with the desktop's application.
    // An editor that is not on the machine does the same, with one line in the tracking log
    // for that editor and never a box.
    void editeur_absent_ouvre_avec_le_bureau_sans_boite() {
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        Session& s = f->session();
        QCOMPARE(s.description.Edit_name_prog_blocnote, std::string());
        ex->lanceur.editeur_present = false;
        auto* nom = controle<QLabel>(f.get(), "Label_description_bd");
        const std::size_t lignes = s.journal.lignes().size();
        QTest::mouseDClick(nom, Qt::LeftButton);
        using G = LanceurEnregistreur::Genre;
        QVERIFY((ex->lanceur.appels ==
                 std::vector<LanceurEnregistreur::Appel>{{G::document, ex->dsc}}));
        QCOMPARE(s.journal.lignes().size(), lignes);

        controle<QLineEdit>(f.get(), "Edit_name_prog_blocnote")
            ->setText(QStringLiteral("notepad.exe"));
        s.description.Edit_name_prog_blocnote = "notepad.exe";
        for (int i = 0; i < 3; ++i) QTest::mouseDClick(nom, Qt::LeftButton);
        QCOMPARE(ex->lanceur.appels.size(), std::size_t{7});
        QCOMPARE(ex->lanceur.appels.back().genre, G::document);
        QCOMPARE(s.journal.lignes().size(), lignes + 1);
        const QString ligne = QString::fromUtf8(
            "éditeur <notepad.exe> introuvable : fichiers ouverts avec l'application du bureau");
        QCOMPARE(qt(s.journal.lignes().back()), ligne);
        QVERIFY(controle<QPlainTextEdit>(f.get(), "Memo5")->toPlainText().contains(ligne));
        QVERIFY(ex->dialogue.vus.empty());
    }

    // The same family again: the open description is replaced only on "Oui" to a question
    // that names it.
    void exemplaire_de_la_meme_famille_demande_avant_de_remplacer() {
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        const std::string avant = lire(ex->dsc);
        ex->fichier_choisi = ex->donnees + "LeGue_2024-06-05.csv";
        ex->dialogue.attendre_question(Reponse::non);  // replace LeGue_horaire.dsc? no
        controle<QAbstractButton>(f.get(), "SpeedButton_choix_fic_donnee")->click();
        QVERIFY(ex->demande_vue(fr(" Le fichier de description  LeGue_horaire.dsc  existe déjà")));
        QCOMPARE(lire(ex->dsc), avant);
    }

    // Leaving the mask keeps its name pattern, without the blanks around it; leaving the
    // column list drops the date column and says so when extraction is ticked.
    void champs_controles_en_sortie() {
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        auto* masque = controle<QLineEdit>(f.get(), "Edit_masque");
        masque->setText(QStringLiteral(" LeGue_2024-06-?1.txt "));
        emit masque->editingFinished();
        QCOMPARE(masque->text(), QStringLiteral("LeGue_2024-06-?1.txt"));
        QCOMPARE(f->session().description.Edit_masque, std::string("LeGue_2024-06-?1.txt"));
        QVERIFY(f->session().f_modif);

        controle<QLineEdit>(f.get(), "Edit_num_col_datetime")->setText(QStringLiteral("1"));
        controle<QCheckBox>(f.get(), "CheckBox_col_cochee")->setChecked(true);
        auto* colonnes = controle<QLineEdit>(f.get(), "Edit_col_cochee");
        colonnes->setText(QStringLiteral("1,4,5"));
        emit colonnes->editingFinished();
        QCOMPARE(colonnes->text(), QStringLiteral("4,5"));
        QVERIFY(ex->demande_vue(fr(" Il a fallu enlever le n° de la colonne date/time")));
    }

    // A zone field that names no zone is reported when left, its text kept for correction;
    // the description takes what was typed, and is marked as changed.
    void fuseaux_controles_en_sortie() {
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        struct Cas {
            const char* champ;
            QString texte;
            bool refuse;
        };
        const Cas cas[] = {
            {"Edit_fuseau_mesures", QStringLiteral("Europe/Paris"), false},
            {"Edit_fuseau_resultat", QStringLiteral("UTC+01:00"), false},
            {"Edit_fuseau_resultat", QStringLiteral("Europe/Lutece"), true},
            {"Edit_fuseau_mesures", QStringLiteral("GMT+7"), true},
        };
        for (const Cas& c : cas) {
            ex->dialogue.vus.clear();
            auto* champ = controle<QLineEdit>(f.get(), c.champ);
            champ->setText(c.texte);
            emit champ->textEdited(c.texte);
            emit champ->editingFinished();
            QCOMPARE(ex->demande_vue(fr(" le fuseau d")), c.refuse);
            if (c.refuse) QVERIFY(contient(ex->dialogue.vus.front().texte, cp(c.texte)));
            QCOMPARE(champ->text(), c.texte);
            QVERIFY(f->session().f_modif);
        }
        QCOMPARE(f->session().description.Edit_fuseau_mesures, std::string("GMT+7"));
        QCOMPARE(f->session().description.Edit_fuseau_resultat, std::string("Europe/Lutece"));
    }
};

QTEST_MAIN(CommandesExemplaireTest)
#include "commandes_exemplaire_test.moc"
