// Zones 2 and 3 of the main window: the file table model, what the listing panel shows
// after a real listing, and the output controls found by the description binding.
#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "description/cles_description.h"
#include "formats/fichiers.h"
#include "formats/provisoire.h"
#include "formats/texte.h"
#include "inventory/intitules.h"
#include "inventory/table_fichiers.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/presse_papier_memoire.h"
#include "plateforme/doubles/progression_scriptee.h"
#include "session/session.h"
#include "ui/conversions_qt.h"
#include "ui/couleurs.h"
#include "ui/liaison_description.h"
#include "ui/modele_table_fichiers.h"
#include "ui/panneaux.h"

namespace tarvo {

class PanneauxListageTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir temporaire;
    std::string programme, donnees;
    DialogueScripte dialogue;
    ProgressionScriptee progression;
    LanceurEnregistreur lanceur;
    PressePapierMemoire presse_papier;

    std::unique_ptr<Session> nouvelle_session() {
        auto s =
            std::make_unique<Session>(dialogue, progression, lanceur, presse_papier, programme);
        Description d = description_par_defaut({programme, 0});
        d.dossier_choisi = donnees;
        d.dossier_choisi_sortie = donnees;
        d.Edit_masque = "*.csv";
        d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;  // ";"
        d.Edit_format_datetime_mesure = "jj/mm/aaaa hh:mn:ss";
        s->description = d;
        return s;
    }

    template <class W>
    static W* controle(const QWidget& racine, const char* nom) {
        auto* w = racine.findChild<W*>(QString::fromLatin1(nom));
        if (!w) qFatal("no control %s", nom);
        return w;
    }

private slots:
    void initTestCase() {
        QVERIFY(temporaire.isValid());
        const std::string racine = temporaire.path().toStdString() + "/";
        programme = racine + "programme/";
        donnees = racine + "donnees/";
        std::filesystem::create_directories(programme);
        std::filesystem::create_directories(donnees);
        for (const char* nom : {"lac_a.csv", "lac_b.csv", "lac_c.csv"})
            ecrire_fichier_atomique(donnees + nom,
                                    "Date;T\r\n01/03/2024 10:00:00;1,5\r\n"
                                    "01/03/2024 10:10:00;1,6\r\n01/03/2024 10:20:00;1,7\r\n");
    }

    void modeleVideEtTitres() {
        TableFichiers table;
        ModeleTableFichiers modele;
        QAbstractItemModelTester testeur(&modele,
                                         QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(modele.rowCount(), 0);
        modele.definir(&table);
        QCOMPARE(modele.rowCount(), 0);
        QCOMPARE(modele.columnCount(), nb_colonnes_table);
        for (int c = 0; c < nb_colonnes_table; ++c)
            QCOMPARE(modele.headerData(c, Qt::Horizontal).toString(),
                     qt(titres_table()[static_cast<std::size_t>(c)]));
        QCOMPARE(modele.headerData(1, Qt::Horizontal).toString(), QStringLiteral("fichier"));
        QCOMPARE(modele.headerData(2, Qt::Horizontal).toString(),
                 QString::fromUtf8("s/répertoire"));
    }

    // Every title and every date of the file table is shown whole.
    void titresEtDatesEntiers() {
        PanneauListage panneau;
        auto* table = panneau.findChild<QTableView*>(QStringLiteral("StringGrid1"));
        const QFontMetrics titre(table->horizontalHeader()->font());
        for (int c = 0; c < nb_colonnes_table; ++c) {
            const QString t = qt(titres_table()[static_cast<std::size_t>(c)]);
            QVERIFY2(table->columnWidth(c) >= titre.horizontalAdvance(t) + 8, qPrintable(t));
        }
        const int date =
            table->fontMetrics().horizontalAdvance(QStringLiteral("01/06/2024 00:00:00"));
        for (const Colonne c : {Colonne::date_dep, Colonne::date_fin, Colonne::date_nom_fichier})
            QVERIFY(table->columnWidth(static_cast<int>(c)) >= date + 8);
    }

    void listageReelAffiche() {
        auto s = nouvelle_session();
        const ResultatListage r = s->lister_fichiers();
        QCOMPARE(static_cast<int>(r.fin), static_cast<int>(FinListage::complet));
        QCOMPARE(s->table.nb_fichiers(), 3);

        PanneauListage panneau;
        auto* vue = controle<QTableView>(panneau, "StringGrid1");
        QAbstractItemModelTester testeur(vue->model(),
                                         QAbstractItemModelTester::FailureReportingMode::QtTest);
        panneau.rafraichir(*s);
        const QAbstractItemModel& m = *vue->model();
        QCOMPARE(m.rowCount(), 3);
        const int fichier = static_cast<int>(Colonne::fichier);
        QCOMPARE(m.index(0, fichier).data().toString(),
                 qt(s->table.lire_cellule(1, Colonne::fichier)));
        QStringList noms;
        for (int r2 = 0; r2 < 3; ++r2) noms << m.index(r2, fichier).data().toString();
        noms.sort();
        QCOMPARE(noms, (QStringList{"lac_a.csv", "lac_b.csv", "lac_c.csv"}));
        QCOMPARE(m.index(0, static_cast<int>(Colonne::date_dep)).data().toString(),
                 QStringLiteral("01/03/2024 10:00:00"));

        const AffichageListage& a = s->inventaire.affichage;
        QCOMPARE(controle<QLabel>(panneau, "Label54")->text(), QStringLiteral("3"));
        QCOMPARE(controle<QLabel>(panneau, "Label_nb_fic")->text(), qt(a.Label_nb_fic));
        QCOMPARE(controle<QLabel>(panneau, "Label_fic")->text(), qt(a.Label_fic));
        QCOMPARE(controle<QLabel>(panneau, "Label_date_heure_min")->text(),
                 qt(a.Label_date_heure_min));
        QCOMPARE(controle<QPushButton>(panneau, "SpeedButton_lister")->text(),
                 QStringLiteral("1- Valider et Lister les fichiers   *.csv"));
        // The preview of the pre-read file, then its note, laid over the buffer.
        QVERIFY(!a.apercu.empty());
        auto* memo6 = controle<QTableView>(panneau, "Memo6");
        const QAbstractItemModel& m6 = *memo6->model();
        QCOMPARE(m6.rowCount(), static_cast<int>(a.apercu.size() + note_apercu().size()));
        QCOMPARE(m6.index(1, 1).data().toString(), QStringLiteral("1,5"));
        QCOMPARE(m6.index(static_cast<int>(a.apercu.size()) + 1, 0).data().toString(),
                 qt(note_apercu()[1]));
        QVERIFY(memo6->isVisibleTo(&panneau));
        const QAbstractItemModel& m1 = *controle<QTableView>(panneau, "Memo1")->model();
        QCOMPARE(m1.rowCount(), 4);
        QCOMPARE(m1.columnCount(), 2);
        QCOMPARE(m1.index(3, 0).data().toString(), QStringLiteral("01/03/2024 10:20:00"));
        QCOMPARE(m1.index(3, 1).data().toString(), QStringLiteral("1,7"));
    }

    // The file name, the mark and the dates stand out from the other columns, and a
    // selected row keeps them legible.
    void couleursDesCellules() {
        TableFichiers table;
        const int ligne = table.ajouter_ligne();
        table.ecrire_cellule(ligne, Colonne::fichier, "lac_a.csv");
        table.marquer(ligne, true);
        ModeleTableFichiers modele;
        modele.definir(&table);
        const auto couleurs = couleurs_par_defaut;
        const auto fond = [&](Colonne c, int role = Qt::BackgroundRole) {
            return modele.index(0, static_cast<int>(c)).data(role).value<QColor>();
        };
        QCOMPARE(modele.index(0, colonne_marque).data().toString(), QStringLiteral("x"));
        struct Cas {
            Colonne colonne;
            Couleur attendu;
            Couleur attendu_selection;
        };
        for (const Cas& cas : {Cas{Colonne::fichier, couleurs[3], couleurs[3]},
                               Cas{Colonne::marque, couleurs[1], couleurs[3]},
                               Cas{Colonne::date_dep, couleurs[1], couleurs[1]},
                               Cas{Colonne::date_fin, couleurs[1], couleurs[1]},
                               Cas{Colonne::taille, couleurs[0], couleurs[3]}}) {
            QCOMPARE(fond(cas.colonne), couleur_qt(cas.attendu));
            QCOMPARE(fond(cas.colonne, ModeleTableFichiers::role_fond_selection),
                     couleur_qt(cas.attendu_selection));
        }
        QCOMPARE(fond(Colonne::date_dep, Qt::ForegroundRole), QColor(0, 0, 255));
        QCOMPARE(fond(Colonne::fichier, Qt::ForegroundRole), QColor(128, 0, 0));
    }

    // A selected row is painted in the table's colours, not in the style's highlight.
    void ligneSelectionneeDessinee() {
        auto s = nouvelle_session();
        for (int i = 0; i < 2; ++i)
            s->table.ecrire_cellule(s->table.ajouter_ligne(), Colonne::fichier, "lac.csv");
        PanneauListage panneau;
        panneau.resize(1400, 600);
        panneau.rafraichir(*s);
        panneau.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panneau));
        auto* vue = controle<QTableView>(panneau, "StringGrid1");
        vue->selectRow(0);
        const QImage image = vue->viewport()->grab().toImage();
        const auto pixel = [&](int ligne, Colonne c) {
            const QRect r = vue->visualRect(vue->model()->index(ligne, static_cast<int>(c)));
            return QColor(image.pixel(r.right() - 3, r.center().y()));
        };
        const auto couleurs = couleurs_par_defaut;
        QCOMPARE(pixel(0, Colonne::fichier), couleur_qt(couleurs[3]));
        QCOMPARE(pixel(0, Colonne::date_dep), couleur_qt(couleurs[1]));
        QCOMPARE(pixel(0, Colonne::taille), couleur_qt(couleurs[3]));
        QCOMPARE(pixel(1, Colonne::taille), couleur_qt(couleurs[0]));
    }

    // A directory of loggers can hold a hundred thousand files: a reset costs nothing per cell.
    void grandeTable() {
        TableFichiers table;
        for (int i = 0; i < 100000; ++i) table.ajouter_ligne();
        table.ecrire_cellule(table.nb_lignes() - 1, Colonne::fichier, "dernier.csv");
        PanneauListage panneau;
        auto* modele = static_cast<ModeleTableFichiers*>(
            controle<QTableView>(panneau, "StringGrid1")->model());
        modele->definir(&table);
        QCOMPARE(modele->rowCount(), 100000);
        QCOMPARE(modele->index(99999, static_cast<int>(Colonne::fichier)).data().toString(),
                 QStringLiteral("dernier.csv"));
    }

    void rougeDesExtremes() {
        auto s = nouvelle_session();
        s->inventaire.affichage.Label_date_min = "01/03/2024 00:00:00";
        s->inventaire.affichage.Label_date_min_rouge = true;
        PanneauListage panneau;
        panneau.rafraichir(*s);
        const auto couleur = [&](const char* nom) {
            return controle<QLabel>(panneau, nom)->palette().color(QPalette::WindowText);
        };
        QCOMPARE(couleur("Label_date_min"), QColor(255, 0, 0));
        QCOMPARE(couleur("Label_date_max"), QColor(0, 0, 255));
        QCOMPARE(controle<QLabel>(panneau, "Label_date_min")->text(),
                 QStringLiteral("01/03/2024 00:00:00"));
        QVERIFY(controle<QTableView>(panneau, "Memo1")->isVisibleTo(&panneau));
    }

    // A long logger file is shown by its first 2000 lines; a double click on the preview
    // brings the buffer in front until the next pre-read.
    void memo1LimiteEtAffichageComplet() {
        auto s = nouvelle_session();
        std::string contenu;
        for (int i = 1; i <= 2500; ++i) contenu += "ligne " + std::to_string(i) + "\r\n";
        s->inventaire.tampon_fichier_lu.charger(contenu);
        s->inventaire.affichage.apercu = {"ligne 1", "ligne 2"};
        PanneauListage panneau;
        panneau.rafraichir(*s);
        auto* memo1 = controle<QTableView>(panneau, "Memo1");
        auto* memo6 = controle<QTableView>(panneau, "Memo6");
        QCOMPARE(memo1->model()->rowCount(), 2000);
        QCOMPARE(memo1->model()->index(1999, 0).data().toString(), QStringLiteral("ligne 2000"));
        QVERIFY(memo6->isVisibleTo(&panneau));
        QVERIFY(!memo1->isVisibleTo(&panneau));
        QTest::mouseDClick(memo6->viewport(), Qt::LeftButton);
        QVERIFY(memo1->isVisibleTo(&panneau));
        // Another command's refresh leaves it there; a new pre-read shows its preview.
        panneau.rafraichir(*s);
        QVERIFY(memo1->isVisibleTo(&panneau));
        s->inventaire.affichage.apercu = {"autre"};
        panneau.rafraichir(*s);
        QVERIFY(memo6->isVisibleTo(&panneau));
    }

    // A tab-separated logger, pre-read: the preview shows each field under the number the
    // description gives it, empty columns included, each line beside its number.
    void apercuEnColonnesNumerotees() {
        const std::string keller = "3-0057_ROLLEGEM_07062010_140000_00_with_temp.txt";
        const std::string dossier = temporaire.path().toStdString() + "/keller/";
        std::filesystem::create_directories(dossier);
        std::filesystem::copy_file(std::string(TARVO_DONNEES_REELLES) + "/keller-logger/" + keller,
                                   dossier + keller);
        auto s = nouvelle_session();
        s->description.dossier_choisi = dossier;
        s->description.Edit_masque = "txt";
        s->description.RadioGroup_separateur_colonne_ItemIndex = Separateur::tabulation;
        dialogue.attendre_question(Reponse::non);  // the first date is not read: go on
        QCOMPARE(static_cast<int>(s->lister_fichiers().fin), static_cast<int>(FinListage::complet));
        PanneauListage panneau;
        panneau.rafraichir(*s);
        auto* memo6 = controle<QTableView>(panneau, "Memo6");
        QAbstractItemModelTester testeur(memo6->model(),
                                         QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QAbstractItemModel& m = *memo6->model();
        const std::string premiere(s->inventaire.tampon_fichier_lu.ligne(1));
        for (int n = 1; n <= 7; ++n) {
            QCOMPARE(m.headerData(n - 1, Qt::Horizontal).toString(), QString::number(n));
            QCOMPARE(m.index(1, n - 1).data().toString(),
                     qt(extraire_champ(premiere, n, separateur_entree(s->description))));
        }
        QCOMPARE(m.index(0, 1).data().toString(), QStringLiteral("P1-P2"));
        QCOMPARE(m.index(1, 1).data().toString(), QString());  // P1-P2 is always empty
        QCOMPARE(m.index(1, 2).data().toString(), QStringLiteral("3,246"));
        QCOMPARE(m.headerData(1, Qt::Vertical).toString(), QStringLiteral("2"));
        // The note spans its rows and leaves the columns their fields' width.
        const int note = static_cast<int>(s->inventaire.affichage.apercu.size());
        QCOMPARE(memo6->columnSpan(note + 1, 0), m.columnCount());
        QVERIFY(memo6->columnWidth(0) <
                memo6->fontMetrics().horizontalAdvance(qt(note_apercu()[1])));
    }

    void clesDesZones2Et3() {
        QWidget fenetre;
        new PanneauListage(&fenetre);
        new PanneauSortie(&fenetre);
        const std::vector<std::string> manquantes = cles_sans_controle(&fenetre);
        for (const char* cle :
             {"CheckBox_prelire_tous.Checked", "Edit_nom_fic_sortie.text", "Edit_nb_decimale.text",
              "Edit_NA.text", "CheckBox_inc_nom.Checked", "Edit_name_prog_blocnote.text",
              "RadioGroup_DECIMAL_SEPARATOR_sortie_ItemIndex",
              "RadioGroup_separateur_sortie_ItemIndex"})
            QVERIFY2(std::find(manquantes.begin(), manquantes.end(), cle) == manquantes.end(), cle);
    }

    // The separators go to and from the radio buttons by their index in the record.
    void separateursDeSortieLies() {
        QWidget fenetre;
        new PanneauSortie(&fenetre);
        Description d = description_par_defaut({programme, 0});
        d.RadioGroup_separateur_sortie_ItemIndex = 3;
        d.RadioGroup_DECIMAL_SEPARATOR_sortie_ItemIndex = MarqueDecimale::point;
        d.Edit_nom_fic_sortie = "niveaux";
        LiaisonDescription(&fenetre).charger(d);
        QVERIFY(controle<QRadioButton>(fenetre, "RadioButton4_separateur_sortie")->isChecked());
        QCOMPARE(controle<QRadioButton>(fenetre, "RadioButton4_separateur_sortie")->text(),
                 QStringLiteral("point-virgule"));
        QVERIFY(
            controle<QRadioButton>(fenetre, "RadioButton2_DECIMAL_SEPARATOR_sortie")->isChecked());
        QCOMPARE(controle<QLineEdit>(fenetre, "Edit_nom_fic_sortie")->text(),
                 QStringLiteral("niveaux"));

        controle<QRadioButton>(fenetre, "RadioButton3_separateur_sortie")->setChecked(true);
        controle<QRadioButton>(fenetre, "RadioButton1_DECIMAL_SEPARATOR_sortie")->setChecked(true);
        controle<QCheckBox>(fenetre, "CheckBox_inc_nom")->setChecked(false);
        LiaisonDescription(&fenetre).enregistrer(d);
        QCOMPARE(d.RadioGroup_separateur_sortie_ItemIndex, 2);
        QCOMPARE(d.RadioGroup_DECIMAL_SEPARATOR_sortie_ItemIndex, MarqueDecimale::virgule);
        QCOMPARE(d.CheckBox_inc_nom, false);
    }
};

}  // namespace tarvo

QTEST_MAIN(tarvo::PanneauxListageTest)
#include "panneaux_listage_test.moc"
