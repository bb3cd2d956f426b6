// The window's colour scheme as a user changes it (choosers, grey levels, what is kept in
// the parameter file) and the zone frames of "?+" and "?-".
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QColorDialog>
#include <QGroupBox>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <array>
#include <functional>
#include <memory>

#include "description/fichiers_programme.h"
#include "formats/fichiers.h"
#include "session/session.h"
#include "tests/ui/exemple_fenetre.h"
#include "ui/couleurs.h"
#include "ui/fenetre_principale.h"
#include "ui/panneau_couleurs.h"

using namespace tarvo;

namespace {

struct Peint {
    const char* controle;
    QPalette::ColorRole role;
    std::size_t couleur;  // index in the scheme
};
// One control of each colour, the underline labels that take the background as text, and
// the graph window in the list colour.
const Peint temoins[] = {
    {"Form2", QPalette::Window, 2},
    {"Form1", QPalette::Window, 0},
    {"Panel1", QPalette::Window, 1},
    {"StringGrid1", QPalette::Base, 2},
    {"Edit_masque", QPalette::Base, 2},
    {"Edit_num_col_datetime", QPalette::Base, 3},
    {"Edit_nom_fic_sortie", QPalette::Base, 3},
    {"Label67", QPalette::WindowText, 0},
    {"Label24", QPalette::WindowText, 0},
};

QColor couleur(const Couleur& c) {
    return {c.rouge, c.vert, c.bleu};
}

// The colour dialog a chooser opens, handled as soon as it shows.
void dans_la_boite(const std::function<void(QColorDialog*)>& action) {
    QTimer::singleShot(0, [action] {
        auto* boite = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        QVERIFY(boite);
        action(boite);
    });
}

}  // namespace

class CouleursCadresTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ExempleFenetre> ex;

    template <class T = QWidget>
    static T* controle(QWidget* f, const char* nom) {
        if (QLatin1String(nom) == QLatin1String("Form1")) return qobject_cast<T*>(f);
        return ExempleFenetre::controle<T>(f, nom);
    }
    static void cliquer(QWidget* f, const char* nom) { ExempleFenetre::cliquer(f, nom); }

    static void verifier_peinture(QWidget* f, const std::array<Couleur, 4>& attendues) {
        for (const Peint& t : temoins)
            QVERIFY2(
                controle(f, t.controle)->palette().color(t.role) == couleur(attendues[t.couleur]),
                t.controle);
    }

    // The parameter file of a user who saved colours of his own, in colour mode.
    void prm_avec_couleurs(const std::array<Couleur, 4>& couleurs) {
        ecrire_prm_apres_description(fichier_prm(ex->programme), ex->dsc, 0, couleurs);
    }

private slots:
    void initTestCase() { ExempleFenetre::signaler_dans_qtest(); }
    void init() { ex = std::make_unique<ExempleFenetre>(); }
    void cleanup() { ex.reset(); }

    void gris_puis_couleurs_du_fichier_prm() {
        const std::array<Couleur, 4> enregistrees{
            {{250, 200, 150}, {200, 180, 160}, {150, 250, 200}, {120, 220, 250}}};
        prm_avec_couleurs(enregistrees);
        auto f = ex->fenetre();
        ex->dialogue.attendre_question(Reponse::oui);  // the last description used
        f->demarrer();
        verifier_peinture(f.get(), enregistrees);

        // A colour chosen but not saved is not what colour mode comes back to.
        choisir_couleur(f->contexte_commandes(), RoleCouleur::fond, QColor(1, 2, 3));
        QCOMPARE(controle(f.get(), "Form1")->palette().color(QPalette::Window), QColor(1, 2, 3));
        cliquer(f.get(), "RadioButton2_coul_nb");
        verifier_peinture(f.get(), couleurs_gris);
        QVERIFY(!controle(f.get(), "SpeedButton5")->isEnabled());
        QCOMPARE(controle(f.get(), "Label10")->palette().color(QPalette::WindowText),
                 couleur_rouge);
        QVERIFY(f->session().f_modif);
        cliquer(f.get(), "RadioButton1_coul_nb");
        verifier_peinture(f.get(), enregistrees);
        QVERIFY(controle(f.get(), "SpeedButton5")->isEnabled());
    }

    void le_gris_enregistre_garde_les_couleurs() {
        const std::array<Couleur, 4> enregistrees{
            {{250, 200, 150}, {200, 180, 160}, {150, 250, 200}, {120, 220, 250}}};
        prm_avec_couleurs(enregistrees);
        auto f = ex->fenetre();
        ex->dialogue.attendre_question(Reponse::oui);
        f->demarrer();
        cliquer(f.get(), "RadioButton2_coul_nb");
        ex->dialogue.attendre_question(Reponse::oui);  // save the modified description
        cliquer(f.get(), "SpeedButton_Enregistrer_dsc");
        const std::string prm = fichier_prm(ex->programme);
        QCOMPARE(lire_ligne_parametre(prm, 2), std::string("250,200,150"));
        QCOMPARE(lire_ligne_parametre(prm, 6), std::string("1"));

        // The next start is grey, and colour mode still finds the saved colours.
        f.reset();
        auto g = ex->fenetre();
        ex->dialogue.attendre_question(Reponse::oui);
        g->demarrer();
        verifier_peinture(g.get(), couleurs_gris);
        QVERIFY(controle<QAbstractButton>(g.get(), "RadioButton2_coul_nb")->isChecked());
        cliquer(g.get(), "RadioButton1_coul_nb");
        verifier_peinture(g.get(), enregistrees);
    }

    void couleur_choisie_jusqu_au_fichier_prm() {
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        QVERIFY(!f->session().f_modif);
        // Through the dialog, as a user confirms it.
        dans_la_boite([](QColorDialog* boite) {
            boite->setCurrentColor(QColor(12, 34, 56));
            boite->accept();
        });
        cliquer(f.get(), "SpeedButton2");
        QCOMPARE(controle(f.get(), "Form1")->palette().color(QPalette::Window), QColor(12, 34, 56));
        QCOMPARE(controle(f.get(), "Label17")->palette().color(QPalette::WindowText),
                 QColor(12, 34, 56));
        QVERIFY(f->session().f_modif);
        choisir_couleur(f->contexte_commandes(), RoleCouleur::listes, QColor(90, 91, 92));
        QCOMPARE(controle(f.get(), "StringGrid1")->palette().color(QPalette::Base),
                 QColor(90, 91, 92));

        ex->dialogue.attendre_question(Reponse::oui);
        cliquer(f.get(), "SpeedButton_Enregistrer_dsc");
        const std::string prm = fichier_prm(ex->programme);
        QCOMPARE(lire_ligne_parametre(prm, 1), ex->dsc);
        QCOMPARE(lire_ligne_parametre(prm, 2), std::string("12,34,56"));
        QCOMPARE(lire_ligne_parametre(prm, 4), std::string("90,91,92"));
        QCOMPARE(lire_ligne_parametre(prm, 6), std::string("0"));
    }

    void couleurs_personnalisees_dans_l_ordre() {
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        choisir_couleur(f->contexte_commandes(), RoleCouleur::boutons, QColor(7, 8, 9));
        f->session().f_modif = false;
        const QColor attendues[16] = {
            QColor(255, 245, 221), QColor(231, 254, 218), QColor(255, 250, 217),
            QColor(179, 224, 255), QColor(253, 234, 225), QColor(236, 225, 253),
            QColor(251, 225, 253), QColor(255, 245, 221), QColor(7, 8, 9),
            QColor(255, 240, 138), QColor(100, 193, 255), QColor(106, 196, 255),
            QColor(250, 198, 173), QColor(220, 200, 251), QColor(183, 251, 249),
            QColor(245, 216, 176)};
        bool vue = false;
        dans_la_boite([&](QColorDialog* boite) {
            vue = true;
            for (int i = 0; i < 16; ++i) QCOMPARE(QColorDialog::customColor(i), attendues[i]);
            // The dialog opens on the colour it changes.
            QCOMPARE(boite->currentColor(), QColor(208, 240, 218));
            boite->reject();
        });
        cliquer(f.get(), "SpeedButton5");
        QVERIFY(vue);
        // Cancelled: nothing changed.
        QVERIFY(!f->session().f_modif);
        QCOMPARE(controle(f.get(), "StringGrid1")->palette().color(QPalette::Base),
                 QColor(208, 240, 218));
    }

    void panneau_des_couleurs() {
        auto f = ex->fenetre();
        auto* panneau = controle(f.get(), "Panel_des_couleurs");
        QVERIFY(!panneau->isVisible());
        cliquer(f.get(), "SpeedButton11");
        QVERIFY(panneau->isVisible());
        // Just under its button, in front of the zones.
        const QWidget* bouton = controle(f.get(), "SpeedButton11");
        QVERIFY(qAbs(panneau->mapTo(f.get(), QPoint(0, 0)).y() -
                     bouton->mapTo(f.get(), QPoint(0, bouton->height())).y()) <= 4);
        cliquer(f.get(), "SpeedButton4");
        QVERIFY(!panneau->isVisible());
        cliquer(f.get(), "SpeedButton11");
        cliquer(f.get(), "SpeedButton11");
        QVERIFY(!panneau->isVisible());
    }

    void cadres_des_zones() {
        struct Cas {
            const char* bouton;
            bool legendes;
        };
        for (const Cas& c : {Cas{"SpeedButton_help2", true}, Cas{"SpeedButton_help3", false}}) {
            auto f = ex->fenetre();
            f->resize(1280, 1200);  // every zone in sight
            QApplication::processEvents();
            cliquer(f.get(), c.bouton);
            const auto dans_la_fenetre = [&](const QWidget* w) {
                return QRect(w->mapTo(f.get(), QPoint(0, 0)), w->size());
            };
            const QRect vue =
                dans_la_fenetre(controle<QAbstractScrollArea>(f.get(), "defilement")->viewport());
            for (int z = 1; z <= 5; ++z) {
                auto* zone = controle(f.get(), qPrintable(QStringLiteral("zone%1").arg(z)));
                auto* contenu = zone->parentWidget();
                const QRect r = dans_la_fenetre(zone);
                auto* haut = controle(f.get(), qPrintable(QStringLiteral("cadre%1_haut").arg(z)));
                auto* droite =
                    controle(f.get(), qPrintable(QStringLiteral("cadre%1_droite").arg(z)));
                QVERIFY(haut->isVisible() && droite->isVisible());
                // Around the zone, under its title.
                const QRect h = dans_la_fenetre(haut), d = dans_la_fenetre(droite);
                QCOMPARE(h.height(), 6);
                QCOMPARE(h.left(), r.left());
                QCOMPARE(h.width(), r.width());
                QVERIFY(h.top() > r.top() && h.top() < r.top() + 30);
                QCOMPARE(d.width(), 6);
                QCOMPARE(d.right(), r.right());
                // What lies below the scrolled view is not drawn over its edge.
                QCOMPARE(d.bottom(), std::min(r.bottom(), vue.bottom()));
                auto* legende =
                    controle(f.get(), qPrintable(QStringLiteral("legende_cadre%1").arg(z)));
                QCOMPARE(legende->isVisible(), c.legendes);
                QCOMPARE(legende->property("text").toString(),
                         qobject_cast<QGroupBox*>(zone)->title());
                // "?-" keeps the controls reachable: the bar lies under the zone.
                const auto enfants = contenu->children();
                QCOMPARE(enfants.contains(haut) && enfants.indexOf(haut) < enfants.indexOf(zone),
                         !c.legendes);
                QVERIFY(droite->parentWidget() != contenu);
            }
            // The tracking log lies below the scrolled zones: no frame has to be in front of it.
            auto* suivi = controle(f.get(), "Panel1");
            auto* defilement = controle(f.get(), "defilement");
            QVERIFY(!QRect(suivi->mapTo(f.get(), QPoint(0, 0)), suivi->size())
                         .intersects(
                             QRect(defilement->mapTo(f.get(), QPoint(0, 0)), defilement->size())));
            QCOMPARE(controle(f.get(), "legende_saisie_manuelle")->isVisible(), c.legendes);

            // Either button hides them again.
            cliquer(f.get(), c.legendes ? "SpeedButton_help3" : "SpeedButton_help2");
            QVERIFY(!controle(f.get(), "cadre1_haut")->isVisible());
            QVERIFY(!controle(f.get(), "legende_cadre1")->isVisible());
        }
    }

    void une_touche_relachee_cache_les_cadres_sans_rien_d_autre() {
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        cliquer(f.get(), "SpeedButton_help2");
        auto* cadre = controle(f.get(), "cadre3_gauche");
        QVERIFY(cadre->isVisible());
        // Escape would quit, asking what to save: the script expects no box at all.
        QTest::keyRelease(controle(f.get(), "Edit_masque"), Qt::Key_Escape);
        QVERIFY(!cadre->isVisible());
        QVERIFY(f->isVisible());
        QVERIFY(ex->dialogue.vus.empty());
        // Shown again, a release on the window itself hides them too.
        cliquer(f.get(), "SpeedButton_help3");
        QVERIFY(cadre->isVisible());
        QTest::keyRelease(f.get(), Qt::Key_Escape);
        QVERIFY(!cadre->isVisible());
        QVERIFY(f->isVisible());
    }
};

QTEST_MAIN(CouleursCadresTest)
#include "couleurs_cadres_test.moc"
