// The description commands and the directory chooser of the main window, tried as a user
// tries them, with the files on disk compared byte for byte before and after each step.
#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <memory>

#include "description/repertoires.h"
#include "formats/fichiers.h"
#include "formats/provisoire.h"
#include "formats/texte.h"
#include "tests/ui/exemple_fenetre.h"
#include "ui/couleurs.h"

using namespace tarvo;

class CommandesDescriptionTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ExempleFenetre> ex;

    template <class T = QWidget>
    T* controle(QWidget* f, const char* nom) {
        return ExempleFenetre::controle<T>(f, nom);
    }
    void cliquer(QWidget* f, const char* nom) { ExempleFenetre::cliquer(f, nom); }

private slots:
    void initTestCase() { ExempleFenetre::signaler_dans_qtest(); }
    void init() { ex = std::make_unique<ExempleFenetre>(); }

    // After a run, choosing another description leaves nothing of the first on screen:
    // no result list, result name or text, file preview, buffer or listing extremes.
    void changer_de_description_efface_les_affichages_de_la_precedente() {
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        cliquer(f.get(), "SpeedButton_lister");
        cliquer(f.get(), "SpeedButton_traiter_fichier");
        const auto* resultats = controle<QAbstractItemView>(f.get(), "ListBox_DONNEE_date_clean");
        const auto* apercu = controle<QAbstractItemView>(f.get(), "Memo6");
        QVERIFY(resultats->model()->rowCount() > 0);
        QVERIFY(apercu->model()->rowCount() > 0);
        QVERIFY(controle<QLabel>(f.get(), "Label21")->text() != QStringLiteral("*.txt"));
        QVERIFY(!controle<QLabel>(f.get(), "Label_date_min")->text().isEmpty());

        const std::string autre = ex->descriptions + "autre.dsc";
        ecrire_fichier_atomique(autre, ex->description_exemple({{"Edit_masque.text", "*.dat"}}));
        ex->fichier_choisi = autre;
        cliquer(f.get(), "SpeedButton_desc_bd");
        QCOMPARE(f->session().Label_description_bd, std::string("autre.dsc"));
        QCOMPARE(resultats->model()->rowCount(), 0);
        QCOMPARE(apercu->model()->rowCount(), 0);
        QCOMPARE(controle<QAbstractItemView>(f.get(), "Memo1")->model()->rowCount(), 0);
        QCOMPARE(controle<QLabel>(f.get(), "Label21")->text(), QStringLiteral("*.txt"));
        QVERIFY(controle<QWidget>(f.get(), "RichEdit3")->isHidden());
        for (const char* nom : {"Label_date_min", "Label_date_max", "Label_date_heure_min",
                                "Label_date_heure_max", "Label26", "Label_nlig_impliquee"})
            QVERIFY2(controle<QLabel>(f.get(), nom)->text().isEmpty(), nom);
        QVERIFY(!controle<QWidget>(f.get(), "SpeedButton_graphique")->isEnabled());
    }
    void cleanup() { ex.reset(); }

    // Validating a directory adds the three current ones to the saved list, after the
    // entries it already holds, once each whatever their letter case.
    void valider_un_repertoire_garde_les_repertoires_recents() {
        const std::string fichier = fichier_rep_recents(ex->programme);
        const std::string anciennes = "1- /mesures/2023/\r\n2- " + majuscules(ex->descriptions) +
                                      "\r\n3- /mesures/2023/EXPORT/\r\n";
        ecrire_fichier_atomique(fichier, anciennes);
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        cliquer(f.get(), "SpeedButton_choix_rep_sortie");
        QVERIFY(controle(f.get(), "Panel_dir")->isVisible());
        cliquer(f.get(), "SpeedButton_valider_repertoire");
        QCOMPARE(octets(lire(fichier)),
                 octets(anciennes + "1- " + ex->donnees + "\r\n3- " + ex->sortie + "\r\n"));
    }

    // A new description whose name dialog was cancelled has no name: nothing it holds can
    // be written over the description it replaced, neither by the directory chooser that
    // follows nor at the exit.
    void nouveau_sans_nom_n_ecrit_pas_sur_l_ancienne_description() {
        const std::string avant = lire(ex->dsc);
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        ex->dialogue.attendre_question(Reponse::oui);  // "Nouvelle description ?"
        ex->fichier_choisi.reset();                    // the name dialog cancelled
        cliquer(f.get(), "SpeedButton_nouveau_dsc");
        QCOMPARE(f->session().description.Edit_nom_fic_sortie, std::string("A"));
        QVERIFY(controle(f.get(), "Panel_dir")->isVisible());
        // The data directory holds files of the default mask: they are listed, the default
        // title line names one of their columns, and the default date pattern cannot read the
        // first date: the listing is cancelled there.
        ex->dialogue.attendre_question(Reponse::oui);
        cliquer(f.get(), "SpeedButton_valider_repertoire");
        QCOMPARE(octets(lire(ex->dsc)), octets(avant));
        QVERIFY(!f->windowTitle().contains(QStringLiteral("LeGue_horaire.dsc")));
        QVERIFY(controle<QLabel>(f.get(), "Label_description_bd")->text().isEmpty());

        ex->dialogue.attendre_question(Reponse::oui);  // "Quitter  ?"
        cliquer(f.get(), "SpeedButton_exit");
        QVERIFY(!f->isVisible());
        QCOMPARE(octets(lire(ex->dsc)), octets(avant));
    }

    // Changed settings, then another description chosen: Oui saves them before opening it,
    // Non opens it without saving, Annuler keeps everything as it was.
    void choisir_une_autre_description_data() {
        QTest::addColumn<bool>("modifiee");
        QTest::addColumn<int>("reponse");
        QTest::addColumn<bool>("ouverte");
        QTest::addColumn<QString>("nom_enregistre");
        QTest::newRow("Oui") << true << int(Reponse::oui) << true << "LeGue_horaire_v2";
        QTest::newRow("Non") << true << int(Reponse::non) << true << "LeGue_horaire";
        QTest::newRow("Annuler") << true << int(Reponse::annuler) << false << "LeGue_horaire";
        QTest::newRow("rien de modifié") << false << -1 << true << "LeGue_horaire";
    }
    void choisir_une_autre_description() {
        QFETCH(bool, modifiee);
        QFETCH(int, reponse);
        QFETCH(bool, ouverte);
        QFETCH(QString, nom_enregistre);
        const std::string autre = ex->descriptions + "autre.dsc";
        ecrire_fichier_atomique(autre,
                                ex->description_exemple({{"Edit_nom_fic_sortie.text", "autre"}}));
        const std::string autre_avant = lire(autre);
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        auto* nom_sortie = controle<QLineEdit>(f.get(), "Edit_nom_fic_sortie");
        if (modifiee) QTest::keyClicks(nom_sortie, "_v2");
        QCOMPARE(f->session().f_modif, modifiee);

        if (reponse >= 0) ex->dialogue.attendre_question(static_cast<Reponse>(reponse));
        ex->fichier_choisi = autre;
        cliquer(f.get(), "SpeedButton_desc_bd");
        QCOMPARE(ex->demande_vue(fr(" Enregistrer les modifications de la description de données  "
                                    "LeGue_horaire.dsc ?")),
                 modifiee);
        QCOMPARE(
            octets(lire(ex->dsc)),
            octets(ex->description_exemple({{"Edit_nom_fic_sortie.text", cp(nom_enregistre)}})));
        QCOMPARE(octets(lire(autre)), octets(autre_avant));
        QCOMPARE(controle<QLabel>(f.get(), "Label_description_bd")->text(),
                 ouverte ? QStringLiteral("autre.dsc") : QStringLiteral("LeGue_horaire.dsc"));
        QCOMPARE(nom_sortie->text(),
                 ouverte ? QStringLiteral("autre") : QStringLiteral("LeGue_horaire_v2"));
        // Cancelled, the changes are still there to be saved.
        QCOMPARE(f->session().f_modif, !ouverte);
        QCOMPARE(
            controle(f.get(), "SpeedButton_Enregistrer_dsc")->property("legende").value<QColor>() ==
                couleur_rouge,
            !ouverte);
    }

    // Whatever way a description comes in, the window shows the fields of the input its
    // mask selects: the sheet of a workbook, nothing of files for the clipboard, the
    // file-name codes for files.
    void chaque_lecture_montre_le_mode_du_masque_data() {
        QTest::addColumn<QString>("masque_ouvert");  // opened on the command line
        QTest::addColumn<QString>("masque_choisi");  // then chosen ("" for none)
        QTest::addColumn<int>("nouveau");            // then "Nouveau": 0 no, 1 named, 2 cancelled
        QTest::addColumn<QString>("legende");        // of the listing button
        const QString aucun, classeur = QStringLiteral("xlsx"), fichiers = QStringLiteral("*.csv");
        QTest::newRow("classeur au démarrage")
            << classeur << aucun << 0 << "1- Valider le fichier xlsx";
        QTest::newRow("classeur choisi")
            << fichiers << classeur << 0 << "1- Valider le fichier xlsx";
        QTest::newRow("presse-papier choisi")
            << fichiers << "ppp" << 0 << "1- Valider le presse-papier";
        QTest::newRow("nouveau nommé après un classeur")
            << classeur << aucun << 1 << "1- Valider et Lister les fichiers   *.csV";
        QTest::newRow("nouveau sans nom après un classeur")
            << classeur << aucun << 2 << "1- Valider et Lister les fichiers   *.csV";
    }
    void chaque_lecture_montre_le_mode_du_masque() {
        QFETCH(QString, masque_ouvert);
        QFETCH(QString, masque_choisi);
        QFETCH(int, nouveau);
        QFETCH(QString, legende);
        const auto description = [&](const QString& masque) {
            const std::string chemin =
                ex->descriptions + cp(masque).substr(cp(masque).rfind('.') + 1) + ".dsc";
            ecrire_fichier_atomique(
                chemin, ex->description_exemple({{"Edit_masque.text", cp(masque)},
                                                 {"Edit_num_feuille_excel.text", "2"},
                                                 {"Label_nom_feuille.caption", "Feuil2"},
                                                 {"Label_nom_fic_excel.caption", "mesures.xlsx"}}));
            return chemin;
        };
        ex->presse_papier.contenu = "Date\tT\r\n01/06/2024 00:00:00\t12,5\r\n";
        auto f = ex->fenetre({description(masque_ouvert)});
        f->demarrer();
        if (!masque_choisi.isEmpty()) {
            ex->fichier_choisi = description(masque_choisi);
            cliquer(f.get(), "SpeedButton_desc_bd");
        }
        if (nouveau != 0) {
            ex->dialogue.attendre_question(Reponse::oui);  // "Nouvelle description ?"
            ex->fichier_choisi.reset();
            if (nouveau == 1) ex->fichier_choisi = ex->descriptions + "neuve";
            cliquer(f.get(), "SpeedButton_nouveau_dsc");
        }
        const std::string masque = f->session().description.Edit_masque;
        const bool classeur = majuscules(masque).find("XLS") != std::string::npos;
        const bool presse_papier = !classeur && majuscules(masque).find("PPP") != std::string::npos;
        const auto visibles = [&](std::initializer_list<const char*> noms, bool attendu) {
            for (const char* nom : noms)
                QVERIFY2(controle(f.get(), nom)->isVisibleTo(f.get()) == attendu, nom);
        };
        visibles({"Label_nom_fic_excel", "Edit_num_feuille_excel", "Label61", "Label_nom_feuille"},
                 classeur);
        visibles({"Label_nom_de_fichier", "Label15", "Label16", "Edit_f_station",
                  "Edit_f_date_fichier", "SpeedButton_date_fic"},
                 !classeur && !presse_papier);
        visibles({"Label4", "Edit_masque", "Label54"}, !presse_papier);
        QCOMPARE(controle<QAbstractButton>(f.get(), "SpeedButton_lister")->text(), legende);
        if (classeur)
            QCOMPARE(controle<QLineEdit>(f.get(), "Edit_num_feuille_excel")->text(),
                     QStringLiteral("2"));
    }
};

QTEST_MAIN(CommandesDescriptionTest)
#include "commandes_description_test.moc"
