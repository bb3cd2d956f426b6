// The result of a run as the main window hands it out: "sauver ->" while the run goes
// on, and the last result file opened from the floating help box.
#include <QAbstractButton>
#include <QCheckBox>
#include <QDateEdit>
#include <QPlainTextEdit>
#include <QTimeEdit>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "formats/fichiers.h"
#include "formats/provisoire.h"
#include "tests/ui/exemple_fenetre.h"

using namespace tarvo;

namespace {

std::string texte_des_lignes(const std::vector<std::string>& lignes) {
    std::string texte;
    for (const std::string& l : lignes) texte += l + "\r\n";
    return texte;
}

int nb_fichiers(const std::string& dossier) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dossier))
        n += e.is_regular_file() ? 1 : 0;
    return n;
}

}  // namespace

class ResultatsFenetreTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ExempleFenetre> ex;

    // Enough lines for the run to hand control to the window many times; results numbered
    // rather than overwritten.
    void grossir_l_exemple() {
        const std::string fichier = ex->donnees + "LeGue_2024-06-01.csv";
        const std::string gros = lire(fichier);
        std::string lignes;
        for (int j = 0; j < 300; ++j)
            lignes += gros.substr(gros.find('\n', gros.find('\n') + 1) + 1);
        ecrire_fichier_atomique(fichier, gros + lignes);
        ecrire_fichier_atomique(ex->dsc,
                                ex->description_exemple({{"CheckBox_inc_nom.Checked", "true"}}));
    }

private slots:
    void initTestCase() { ExempleFenetre::signaler_dans_qtest(); }
    void init() { ex = std::make_unique<ExempleFenetre>(); }
    void cleanup() { ex.reset(); }

    // During a run "sauver ->" writes the rows formatted so far; before the formatting
    // begins there are none of this run, whatever the last run left.
    void sauver_pendant_un_traitement_data() {
        QTest::addColumn<bool>("apres_un_traitement");
        QTest::addColumn<bool>("pendant_le_formatage");
        QTest::newRow("pendant le formatage") << false << true;
        QTest::newRow("pendant la lecture") << true << false;
    }
    void sauver_pendant_un_traitement() {
        QFETCH(bool, apres_un_traitement);
        QFETCH(bool, pendant_le_formatage);
        grossir_l_exemple();
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        Session& s = f->session();
        // The example's fortnight every 10 seconds: a formatting long enough to be seen.
        ExempleFenetre::controle<QDateEdit>(f.get(), "DatePicker_deb")->setDate(QDate(2024, 6, 1));
        ExempleFenetre::controle<QDateEdit>(f.get(), "DatePicker_fin")->setDate(QDate(2024, 6, 15));
        ExempleFenetre::controle<QTimeEdit>(f.get(), "TimePicker_pas")->setTime(QTime(0, 0, 10));
        ExempleFenetre::cliquer(f.get(), "SpeedButton_lister");
        // "Le nombre de lignes à générer est supérieur à 32000", once per grid built.
        ex->dialogue.attendre_question(Reponse::oui);
        if (apres_un_traitement) {
            ExempleFenetre::cliquer(f.get(), "SpeedButton_traiter_fichier");
            ex->dialogue.attendre_question(Reponse::oui);  // the same, for the grid kept
        }
        const int fichiers_avant = nb_fichiers(ex->sortie);

        bool clique = false;
        std::string attendu, chemin, ecrit;
        QTimer minuterie;
        QObject::connect(&minuterie, &QTimer::timeout, [&] {
            if (clique || !s.traitement_en_cours) return;
            if (pendant_le_formatage && s.listes.ListBox_DONNEE_date_clean.empty()) return;
            clique = true;
            attendu = texte_des_lignes(s.listes.ListBox_DONNEE_date_clean);
            const std::string resultat_avant = s.fichier_resultat;
            ExempleFenetre::cliquer(f.get(), "SpeedButton_enregistrer");
            if (s.fichier_resultat != resultat_avant) chemin = s.fichier_resultat;
            if (!chemin.empty()) ecrit = lire(chemin);
        });
        minuterie.start(0);
        ExempleFenetre::cliquer(f.get(), "SpeedButton_traiter_fichier");
        minuterie.stop();
        QVERIFY(clique);
        QVERIFY(!s.fichier_resultat.empty());
        if (pendant_le_formatage) {
            QVERIFY2(!chemin.empty(), "nothing saved during the run");
            QVERIFY(attendu.find("\r\n") != std::string::npos);
            QCOMPARE(octets(ecrit), octets(attendu));
            QVERIFY(ex->demande_vue(fr(" Données extraites enregistrées dans \n") + chemin));
            QVERIFY(s.fichier_resultat != chemin);  // the whole run has a file of its own
            QCOMPARE(nb_fichiers(ex->sortie),
                     fichiers_avant + 4);  // two results, two tracking files
        } else {
            QVERIFY(chemin.empty());
            QVERIFY(ex->demande_vue(fr(" pas de données à enregistrer...")));
            QCOMPARE(nb_fichiers(ex->sortie), fichiers_avant + 2);
        }
    }

    // A double click on the floating help box opens the last result file in the editor,
    // once there is one.
    void double_clic_sur_l_aide_flottante_ouvre_le_dernier_resultat() {
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        ExempleFenetre::controle<QCheckBox>(f.get(), "CheckBox_aide_flottante")->click();
        QPlainTextEdit* boite = nullptr;
        for (auto* w : f->findChildren<QPlainTextEdit*>(QStringLiteral("Memo3")))
            if (w->window() == f.get()) boite = w;
        QVERIFY(boite);
        QTest::mouseDClick(boite->viewport(), Qt::LeftButton);
        QVERIFY(ex->lanceur.appels.empty());

        ExempleFenetre::cliquer(f.get(), "SpeedButton_lister");
        ExempleFenetre::cliquer(f.get(), "SpeedButton_traiter_fichier");
        const std::string resultat = f->session().fichier_resultat;
        QVERIFY(existe(resultat));
        QTest::mouseDClick(boite->viewport(), Qt::LeftButton);
        const std::vector<LanceurEnregistreur::Appel> attendus{
            {LanceurEnregistreur::Genre::document, resultat}};
        QVERIFY(ex->lanceur.appels == attendus);
    }
};

QTEST_MAIN(ResultatsFenetreTest)
#include "resultats_fenetre_test.moc"
